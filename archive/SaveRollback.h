#ifndef ARCHIVE_SAVEROLLBACK_H
#define ARCHIVE_SAVEROLLBACK_H

#include <cstdint>
#include <utility>
#include <vector>

#include "archive/EntryTable.h"
#include "archive/File.h"
#include "archive/StagingFolder.h"

namespace xcr {

// What a save needs to put the archive back exactly as it was after a failure part-way
// through rewriting it. The entry copies in the staging folder hold every listed entry's
// bytes; this keeps the rest that a save can overwrite: the total size field, the old
// directory values, and the bytes between and after the listed entries' data (gaps, the
// unlisted record's data), which a growing entry may cover.
class SaveRollback {
public:
    SaveRollback(const StagingFolder& staging, std::vector<EntryTable::Placement> before);

    // Reads what the entry copies do not hold from the archive opened for reading.
    void keepUncoveredBytes(File& archive);
    // The archive's length before anything is written.
    void setOldLength(std::int64_t length) { oldLength_ = length; }

    // Writes every kept byte back through the archive opened for writing, cuts the file
    // to its old length and flushes it to disk.
    void restore(File& archive) const;

private:
    std::string uncoveredCopy() const;

    const StagingFolder& staging_;
    std::vector<EntryTable::Placement> before_;
    std::vector<unsigned char> totalField_;
    // (position, length) of each kept range, stored one after another in uncoveredCopy().
    std::vector<std::pair<std::int64_t, std::int64_t>> uncovered_;
    std::int64_t oldLength_ = 0;
};

}  // namespace xcr

#endif  // ARCHIVE_SAVEROLLBACK_H
