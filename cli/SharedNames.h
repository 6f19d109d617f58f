#ifndef CLI_SHAREDNAMES_H
#define CLI_SHAREDNAMES_H

#include <string>
#include <vector>

#include "archive/EntryTable.h"

namespace xcr {

// What extract says when entries written into one folder share a file name, so that only
// the last of them is kept: each shared name with its entries, on one line; empty when
// every chosen entry has a file of its own.
std::string sharedNamesWarning(const EntryTable& entries, const std::vector<int>& chosen);

}  // namespace xcr

#endif  // CLI_SHAREDNAMES_H
