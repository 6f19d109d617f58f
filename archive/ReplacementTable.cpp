#include "archive/ReplacementTable.h"

namespace xcr {

void ReplacementTable::resetFor(int entryCount) {
    for (auto& slot : slots_) {
        slot.replaced = false;
    }
    if (entryCount > size()) {
        slots_.resize(static_cast<std::size_t>(entryCount));
    }
}

void ReplacementTable::record(int index, const std::string& path) {
    if (index < 0) {
        return;
    }
    if (index >= size()) {
        slots_.resize(static_cast<std::size_t>(index) + 1);
    }
    slots_[static_cast<std::size_t>(index)] = {path, true};
}

bool ReplacementTable::isReplaced(int index) const {
    return index >= 0 && index < size() && slots_[static_cast<std::size_t>(index)].replaced;
}

const std::string& ReplacementTable::path(int index) const {
    static const std::string none;
    return index >= 0 && index < size() ? slots_[static_cast<std::size_t>(index)].path : none;
}

}  // namespace xcr
