#ifndef CLI_ARGUMENTCHECKS_H
#define CLI_ARGUMENTCHECKS_H

#include <string>

namespace xcr {

// The checks of single arguments that the parser runs before a command starts: each gives
// the whole sentence the user reads when the argument is refused, or nothing.

// "-" names no archive: an archive is read and changed in place, which standard input
// cannot be.
std::string archiveArgumentFault(const std::string& archive);
// "-" names no folder to extract into: standard output is no folder.
std::string folderArgumentFault(const std::string& folder);
// "-" names no patch: a patch is read more than once, and written only to a file.
std::string patchArgumentFault(const std::string& patch);
// --steps counts saves: a whole number from 1.
std::string stepsArgumentFault(const std::string& steps);

}  // namespace xcr

#endif  // CLI_ARGUMENTCHECKS_H
