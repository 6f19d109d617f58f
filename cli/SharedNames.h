#ifndef CLI_SHAREDNAMES_H
#define CLI_SHAREDNAMES_H

#include <string>
#include <vector>

#include "archive/format/EntryTable.h"

namespace xcr {

// What extract says when chosen entries are written to one file, so that only the last
// of them is kept: each shared name with its entries, on one line; empty when every
// chosen entry has a file of its own. With `folderParts` the files lie under the folders
// of the stored names, and only entries of one stored path meet.
std::string sharedNamesWarning(const EntryTable& entries, const std::vector<int>& chosen,
                               bool folderParts);

}  // namespace xcr

#endif  // CLI_SHAREDNAMES_H
