#include "app/WindowProgress.h"

#include <algorithm>

namespace xcr {

void WindowProgress::setMaximum(int maximum) {
    post([this, maximum] {
        // The bar keeps its position, brought into the new range; left to itself it
        // would empty whenever the position lies past the new maximum.
        const int position = bar_->value();
        bar_->setMaximum(maximum);
        bar_->setValue(std::clamp(position, bar_->minimum(), bar_->maximum()));
    });
}

void WindowProgress::setPosition(int position) {
    post([this, position] { bar_->setValue(position); });
}

void WindowProgress::beep() {
    post([this] { beeper_.beep(); });
}

}  // namespace xcr
