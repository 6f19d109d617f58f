#ifndef ARCHIVE_JOBS_CHECKMARKS_H
#define ARCHIVE_JOBS_CHECKMARKS_H

#include <mutex>
#include <utility>
#include <vector>

namespace xcr {
inline namespace jobs {

// The check marks of the listed entries. The user changes them on one thread while an
// extraction reads them from its worker, each at the moment it reaches the entry, so
// that marking or clearing all of them during the job counts for every entry not yet
// reached. Setting all marks is one step: a read sees all old marks or all new ones.
class CheckMarks {
public:
    explicit CheckMarks(int count = 0);

    int count() const;
    // False for an index outside the marks.
    bool isChecked(int index) const;
    void set(int index, bool checked);
    // Sets every mark; returns the first and last index that changed, or {-1, -1}.
    std::pair<int, int> setAll(bool checked);

private:
    mutable std::mutex mutex_;
    std::vector<char> marks_;
};

}  // namespace jobs
}  // namespace xcr

#endif  // ARCHIVE_JOBS_CHECKMARKS_H
