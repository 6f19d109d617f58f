#ifndef ARCHIVE_FORMAT_SAVEPLAN_H
#define ARCHIVE_FORMAT_SAVEPLAN_H

#include <cstdint>
#include <vector>

#include "archive/format/ByteRange.h"
#include "archive/format/EntryTable.h"
#include "archive/format/LayoutCheck.h"

namespace xcr {
inline namespace format {

// What a save writes, worked out before it writes anything; a value that keeps what it
// needs of the entry table. Its result is that of
// rewriting every listed entry in directory order (a replaced entry keeps its offset and
// takes its file's length, every later entry moves by the sum of the earlier changes),
// but only what changes is written: an entry whose data neither moves nor is replaced
// would be written back over its own unchanged bytes, so it is left alone.
class SavePlan {
public:
    // `newSizes[i]` is the length of entry i's replacement file, or -1 when it is not
    // replaced; `oldLength` the archive's length before the save.
    SavePlan(const EntryTable& entries, const std::vector<std::int64_t>& newSizes,
             std::int64_t oldLength);

    const std::vector<PlannedPlacement>& after() const { return after_; }
    std::vector<EntryTable::Placement> placements() const;
    // The value of the total size field: the old length plus every change of size.
    std::int64_t total() const { return total_; }

    // Entry i's data is written: it is replaced, or its bytes move.
    bool rewrites(int index) const;
    // Whether any entry's data or record is written.
    bool writesEntries() const { return writesEntries_; }
    // Entry i's record is written: its offset or size changes, or the file ends before
    // them (a full rewrite writes every record, and so makes the file that long).
    bool writesRecord(int index) const;
    // The old bytes that entry i's write covers and no earlier entry's write did: what
    // the journal keeps for it, so that every kept range is kept once.
    std::vector<ByteRange> overwrittenBy(int index) const;
    // The archive's header and directory, as far as the file has them.
    ByteRange directory() const;

    // Whether the alert sounds before entry i's data: a full rewrite, writing every entry
    // in directory order, would find the file ending exactly where that data starts.
    bool beeps(int index) const { return beeps_[static_cast<std::size_t>(index)] != 0; }
    // The file's length once saved: never shorter than before.
    std::int64_t lengthAfter() const { return lengthAfter_; }
    // The total size field and every record's offset and size as the save leaves them, in
    // the archive's own encoding, one after the other.
    std::vector<unsigned char> plannedFields() const;

private:
    std::vector<EntryTable::Placement> before_;
    std::int64_t oldLength_;
    std::vector<PlannedPlacement> after_;
    std::int64_t total_ = 0;
    bool writesEntries_ = false;
    std::vector<char> beeps_;
    std::int64_t lengthAfter_ = 0;
    std::vector<ByteRange> overwritten_;
    // Entry i's overwritten ranges are overwritten_[firstOverwritten_[i] .. [i + 1]).
    std::vector<std::size_t> firstOverwritten_;
};

}  // namespace format
}  // namespace xcr

#endif  // ARCHIVE_FORMAT_SAVEPLAN_H
