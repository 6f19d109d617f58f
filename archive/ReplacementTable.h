#ifndef ARCHIVE_REPLACEMENTTABLE_H
#define ARCHIVE_REPLACEMENTTABLE_H

#include <string>
#include <vector>

namespace xcr {

// For each listed entry, the file chosen to replace it and whether it is replaced.
// The table grows with the archive, so every entry can be replaced. Paths outlive a
// new archive (only the flags are cleared); a path counts only while its flag is set.
class ReplacementTable {
public:
    // Clears every flag and makes room for `entryCount` entries.
    void resetFor(int entryCount);

    // Records `path` for entry `index` and marks it replaced.
    void record(int index, const std::string& path);

    bool isReplaced(int index) const;
    const std::string& path(int index) const;
    int size() const { return static_cast<int>(slots_.size()); }

private:
    struct Slot {
        std::string path;
        bool replaced = false;
    };
    std::vector<Slot> slots_;
};

}  // namespace xcr

#endif  // ARCHIVE_REPLACEMENTTABLE_H
