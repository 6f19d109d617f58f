#ifndef ARCHIVE_SAVEJOB_H
#define ARCHIVE_SAVEJOB_H

#include <string>

#include "archive/ArchiveSession.h"
#include "archive/JobHost.h"
#include "archive/JobOutcome.h"

namespace xcr {

// Rewrites the archive at `archivePath` in place with the session's replacements, and
// updates the session's entry table to match. Releases the host's lock on every ending.
JobOutcome runSave(const std::string& archivePath, ArchiveSession& session, JobHost& host);

}  // namespace xcr

#endif  // ARCHIVE_SAVEJOB_H
