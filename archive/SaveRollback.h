#ifndef ARCHIVE_SAVEROLLBACK_H
#define ARCHIVE_SAVEROLLBACK_H

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "archive/EntryTable.h"
#include "archive/File.h"
#include "archive/StagedBytes.h"

namespace xcr {

// What a save needs to put the archive back exactly as it was after a failure part-way
// through rewriting it: every listed entry's bytes, which the data pass also writes back
// from, and the rest that a save can overwrite: the total size field, the old directory
// values, and the bytes between and after the listed entries' data (gaps, the unlisted
// record's data), which a growing entry may cover.
class SaveRollback {
public:
    SaveRollback(StagedBytes& staged, std::vector<EntryTable::Placement> before);

    // Keeps listed entry `index`'s bytes, read from the archive opened for reading.
    void keepEntry(File& archive, int index);
    // Reads what the entry copies do not hold from the archive opened for reading.
    void keepUncoveredBytes(File& archive);
    // The archive's length before anything is written.
    void setOldLength(std::int64_t length) { oldLength_ = length; }

    // Writes entry `index`'s old bytes to target's current position.
    void copyEntryBack(int index, File& target);
    // Writes every kept byte back through the archive opened for writing, cuts the file
    // to its old length and flushes it to disk.
    void restore(File& archive);
    // For a user who has to recover the entries by hand after a failed restore: writes
    // `listingPath`, one line per listed entry with where its bytes lie in the kept file
    // (which lies beside it), their count and the entry's name. Best effort; a failure
    // here is not reported.
    void writeListing(const std::string& listingPath, const EntryTable& entries) const;

private:
    StagedBytes& staged_;
    std::vector<EntryTable::Placement> before_;
    std::vector<std::int64_t> entryAt_;
    std::vector<unsigned char> totalField_;
    struct KeptRange {
        std::int64_t position;  // in the archive
        std::int64_t size;
        std::int64_t at;  // in the kept file
    };
    std::vector<KeptRange> uncovered_;
    std::int64_t oldLength_ = 0;
};

}  // namespace xcr

#endif  // ARCHIVE_SAVEROLLBACK_H
