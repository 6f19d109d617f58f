#ifndef ARCHIVE_EXTRACTIONJOB_H
#define ARCHIVE_EXTRACTIONJOB_H

#include <string>

#include "archive/EntryTable.h"
#include "archive/JobHost.h"
#include "archive/JobOutcome.h"

namespace xcr {

// Copies every checked entry of the archive at `archivePath` into the folder the host's
// chooser gives, each under its safe file name. Releases the host's lock on every ending.
JobOutcome runExtraction(const std::string& archivePath, const EntryTable& entries, JobHost& host);

}  // namespace xcr

#endif  // ARCHIVE_EXTRACTIONJOB_H
