#ifndef CLI_ARCHIVECHECK_H
#define CLI_ARCHIVECHECK_H

#include <string>
#include <vector>

#include "archive/format/EntryTable.h"
#include "archive/store/HeldArchive.h"

namespace xcr {

// What is wrong with the archive at `path`, one line of text for each problem, found
// without changing the archive or applying a journal: a directory or entry data that
// reaches past the end of the file, entry data that overlaps other data or the
// directory, a total size field that disagrees with the file, and a journal beside it.
// Throws xcr::Failure when the archive cannot be read.
std::vector<std::string> findArchiveProblems(const std::string& path);

// Those problems of the header's record count and of `entries`, the directory as a listing
// of the archive read it; not the total size field, which no listing reads.
std::vector<std::string> findDirectoryProblems(HeldArchive& archive, const EntryTable& entries);

}  // namespace xcr

#endif  // CLI_ARCHIVECHECK_H
