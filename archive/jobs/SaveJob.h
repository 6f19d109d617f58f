#ifndef ARCHIVE_JOBS_SAVEJOB_H
#define ARCHIVE_JOBS_SAVEJOB_H

#include <string>
#include <vector>

#include "archive/format/EntryTable.h"
#include "archive/jobs/JobOutcome.h"
#include "archive/jobs/JobProgress.h"
#include "archive/jobs/ReplacementTable.h"
#include "archive/store/HeldArchive.h"
#include "archive/undo/UndoOptions.h"

namespace xcr {
inline namespace jobs {

// Everything a save works from, taken when it starts.
struct SaveRequest {
    // The archive, held since the save was asked for (HeldArchive::attempt()). Holding it failed:
    // that failure is the save's outcome. No archive was ever opened (neither an archive
    // nor a failure): the save ends at once, quietly.
    HeldArchive archive;
    EntryTable entries;
    std::vector<Replacement> replacements;  // in entry order
    // Emptied of its files at the end of a save, as every save leaves it.
    std::string stagingFolder;
    // Where the record that undoes the save is kept.
    UndoOptions undo;
};

// Rewrites the archive in place with the replacements, under one exclusive hold from its
// first read to its last flush, and only after a journal of every byte it overwrites is
// on the disk. A failure puts the archive back from the journal; a crash leaves the
// journal for the next opening. A save that wrote the archive gives its new table, and
// keeps a record that undoes it before it becomes final (see UndoStore).
JobOutcome runSave(SaveRequest request, JobProgress& progress);

}  // namespace jobs
}  // namespace xcr

#endif  // ARCHIVE_JOBS_SAVEJOB_H
