#ifndef ARCHIVE_JOBS_REPLACEMENTSOURCE_H
#define ARCHIVE_JOBS_REPLACEMENTSOURCE_H

#include <string>

#include "archive/jobs/Replacement.h"
#include "archive/os/File.h"
#include "archive/os/FileIdentity.h"

namespace xcr {
inline namespace jobs {

// Opens the file chosen to replace an entry, as a save reads it: a regular file that the
// system does not make up as it is read and, when its identity was recorded, the very
// file it was then. Fails with "Cannot open file %s" and the reason.
File openReplacement(const Replacement& replacement);

// The file `path` leads to now, once it passes those checks: what a command records with a
// file the user named. A link the user named is followed here, once, as a copy would.
FileIdentity identifyReplacement(const std::string& path);

}  // namespace jobs
}  // namespace xcr

#endif  // ARCHIVE_JOBS_REPLACEMENTSOURCE_H
