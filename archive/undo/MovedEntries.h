#ifndef ARCHIVE_UNDO_MOVEDENTRIES_H
#define ARCHIVE_UNDO_MOVEDENTRIES_H

#include <cstdint>
#include <vector>

#include "archive/format/ByteRange.h"
#include "archive/format/EntryTable.h"

namespace xcr {
inline namespace undo {

// An entry a save moved without replacing it: its old bytes lie in the archive the save
// left, whole, at its new offset.
struct MovedEntry {
    std::int64_t from = 0;  // its offset before the save
    std::int64_t to = 0;    // and after it
    std::int64_t size = 0;
};

// The entries that moved from `before` to `after` and are not `replaced`.
std::vector<MovedEntry> movedEntries(const std::vector<EntryTable::Placement>& before,
                                     const std::vector<EntryTable::Placement>& after,
                                     const std::vector<bool>& replaced);

// `ranges` without the old bytes of moved entries, which an undo takes back from where
// they moved to, and never without the header and directory (the first `directoryEnd`
// bytes), which an undo reads from its record.
std::vector<ByteRange> withoutMoved(const std::vector<ByteRange>& ranges,
                                    const std::vector<MovedEntry>& moved,
                                    std::int64_t directoryEnd);

}  // namespace undo
}  // namespace xcr

#endif  // ARCHIVE_UNDO_MOVEDENTRIES_H
