#include "app/WindowJobHost.h"

#include <algorithm>

namespace xcr {

bool WindowJobHost::hasEntry(int index) const {
    return index >= 0 && index < parts_.list->count();
}

int WindowJobHost::entryCount() {
    return answer([this] { return parts_.list->count(); });
}

std::string WindowJobHost::entryName(int index) {
    return answer(
        [this, index] { return hasEntry(index) ? parts_.list->itemName(index) : std::string(); });
}

bool WindowJobHost::isChecked(int index) {
    return answer([this, index] { return hasEntry(index) && parts_.list->isChecked(index); });
}

void WindowJobHost::setProgressMax(int maximum) {
    post([this, maximum] {
        // The bar keeps its position, brought into the new range; left to itself it
        // would empty whenever the position lies past the new maximum.
        QProgressBar& bar = *parts_.progress;
        const int position = bar.value();
        bar.setMaximum(maximum);
        bar.setValue(std::clamp(position, bar.minimum(), bar.maximum()));
    });
}

void WindowJobHost::setProgress(int position) {
    post([this, position] { parts_.progress->setValue(position); });
}

std::string WindowJobHost::chooseExtractionFolder() {
    return answer([this] {
        parts_.chooser->execute(parts_.window);
        return parts_.chooser->folder();
    });
}

void WindowJobHost::beep() {
    post([this] { parts_.beeper->beep(); });
}

void WindowJobHost::releaseLock() {
    post([this] { parts_.lock->release(); });
}

}  // namespace xcr
