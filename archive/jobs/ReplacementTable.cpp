#include "archive/jobs/ReplacementTable.h"

namespace xcr {
inline namespace jobs {

void ReplacementTable::record(int index, const std::string& path, FileIdentity source) {
    if (index >= 0) {
        replaced_[index] = {index, path, source};
    }
}

std::string ReplacementTable::path(int index) const {
    const auto found = replaced_.find(index);
    return found == replaced_.end() ? std::string() : found->second.path;
}

std::vector<Replacement> ReplacementTable::list() const {
    std::vector<Replacement> list;
    list.reserve(replaced_.size());
    for (const auto& [index, replacement] : replaced_) {
        list.push_back(replacement);
    }
    return list;
}

}  // namespace jobs
}  // namespace xcr
