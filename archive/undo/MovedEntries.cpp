#include "archive/undo/MovedEntries.h"

#include <algorithm>

namespace xcr {
inline namespace undo {

std::vector<MovedEntry> movedEntries(const std::vector<EntryTable::Placement>& before,
                                     const std::vector<EntryTable::Placement>& after,
                                     const std::vector<bool>& replaced) {
    std::vector<MovedEntry> moved;
    const std::size_t count = std::min({before.size(), after.size(), replaced.size()});
    for (std::size_t i = 0; i < count; ++i) {
        const EntryTable::Placement& old = before[i];
        if (!replaced[i] && old.size > 0 && old.offset >= 0 && old.size == after[i].size &&
            old.offset != after[i].offset) {
            moved.push_back({old.offset, after[i].offset, old.size});
        }
    }
    return moved;
}

std::vector<ByteRange> withoutMoved(const std::vector<ByteRange>& ranges,
                                    const std::vector<MovedEntry>& moved,
                                    std::int64_t directoryEnd) {
    // The moved bytes past the directory, in order and merged.
    std::vector<ByteRange> cut;
    for (const MovedEntry& entry : moved) {
        const std::int64_t start = std::max(entry.from, directoryEnd);
        if (entry.from + entry.size > start) {
            cut.push_back({start, entry.from + entry.size - start});
        }
    }
    std::sort(cut.begin(), cut.end(),
              [](const ByteRange& a, const ByteRange& b) { return a.position < b.position; });
    std::vector<ByteRange> left;
    for (const ByteRange& range : ranges) {
        std::int64_t at = range.position;
        const std::int64_t end = range.position + range.size;
        for (const ByteRange& hole : cut) {
            if (hole.position + hole.size <= at || hole.position >= end) {
                continue;
            }
            if (hole.position > at) {
                left.push_back({at, hole.position - at});
            }
            at = std::max(at, hole.position + hole.size);
        }
        if (end > at) {
            left.push_back({at, end - at});
        }
    }
    return left;
}

}  // namespace undo
}  // namespace xcr
