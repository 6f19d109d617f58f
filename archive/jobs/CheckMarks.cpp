#include "archive/jobs/CheckMarks.h"

#include <algorithm>

namespace xcr {
inline namespace jobs {

CheckMarks::CheckMarks(int count) : marks_(static_cast<std::size_t>(std::max(count, 0)), 0) {}

int CheckMarks::count() const {
    std::lock_guard lock(mutex_);
    return static_cast<int>(marks_.size());
}

bool CheckMarks::isChecked(int index) const {
    std::lock_guard lock(mutex_);
    return index >= 0 && static_cast<std::size_t>(index) < marks_.size() &&
           marks_[static_cast<std::size_t>(index)] != 0;
}

void CheckMarks::set(int index, bool checked) {
    std::lock_guard lock(mutex_);
    if (index >= 0 && static_cast<std::size_t>(index) < marks_.size()) {
        marks_[static_cast<std::size_t>(index)] = checked ? 1 : 0;
    }
}

std::pair<int, int> CheckMarks::setAll(bool checked) {
    const char mark = checked ? 1 : 0;
    std::lock_guard lock(mutex_);
    const auto differs = [mark](char c) { return c != mark; };
    const auto first = std::find_if(marks_.begin(), marks_.end(), differs);
    if (first == marks_.end()) {
        return {-1, -1};
    }
    const auto last = std::find_if(marks_.rbegin(), marks_.rend(), differs);
    std::fill(first, marks_.end(), mark);
    return {static_cast<int>(first - marks_.begin()), static_cast<int>(marks_.rend() - last) - 1};
}

}  // namespace jobs
}  // namespace xcr
