#include "archive/ReplacementTable.h"

namespace xcr {

void ReplacementTable::record(int index, const std::string& path) {
    if (index >= 0) {
        replaced_[index] = path;
    }
}

std::string ReplacementTable::path(int index) const {
    const auto found = replaced_.find(index);
    return found == replaced_.end() ? std::string() : found->second;
}

std::vector<Replacement> ReplacementTable::list() const {
    std::vector<Replacement> list;
    list.reserve(replaced_.size());
    for (const auto& [index, path] : replaced_) {
        list.push_back({index, path});
    }
    return list;
}

}  // namespace xcr
