#ifndef ARCHIVE_ENTRYTABLE_H
#define ARCHIVE_ENTRYTABLE_H

#include <cstdint>
#include <mutex>
#include <string>
#include <vector>

#include "archive/Directory.h"

namespace xcr {

// The open archive's entries in directory order: display name, data offset and data
// size. Names are fixed once the table is filled; a save job rewrites offsets and sizes
// from its worker thread while the window may read them, so those two are guarded.
class EntryTable {
public:
    struct Placement {
        std::int32_t offset = 0;
        std::int32_t size = 0;
    };

    // Replaces the whole table with the listed records of an archive.
    void assign(const std::vector<DirectoryRecord>& records);
    // The same, read straight from the archive's directory: no stored name is kept
    // longer than it takes to cut its display name from it.
    void assign(File& archive);
    void clear();

    int count() const;
    const std::string& displayName(int index) const;
    const std::vector<std::string>& displayNames() const { return names_; }
    Placement placement(int index) const;
    std::vector<Placement> placements() const;
    void setPlacement(int index, Placement placement);
    void setPlacements(const std::vector<Placement>& placements);

private:
    void replaceWith(std::vector<std::string> names, std::vector<Placement> placements);

    std::vector<std::string> names_;
    mutable std::mutex placementsMutex_;
    std::vector<Placement> placements_;
};

}  // namespace xcr

#endif  // ARCHIVE_ENTRYTABLE_H
