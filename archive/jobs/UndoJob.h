#ifndef ARCHIVE_JOBS_UNDOJOB_H
#define ARCHIVE_JOBS_UNDOJOB_H

#include <memory>
#include <optional>
#include <string>

#include "archive/format/EntryTable.h"
#include "archive/jobs/JobOutcome.h"
#include "archive/jobs/JobProgress.h"
#include "archive/store/HeldArchive.h"
#include "archive/undo/UndoOptions.h"

namespace xcr {
inline namespace jobs {

struct UndoRequest {
    // The archive, held since the undo was asked for (HeldArchive::attempt()), never null.
    // Holding it failed: that failure is the undo's outcome. Shared, so that a command
    // undoing several saves holds the archive from the first to the last.
    std::shared_ptr<HeldArchive> archive;
    // The table the window lists, which must be that of the archive the save left;
    // nothing for a command that has just opened the archive itself.
    std::optional<EntryTable> entries;
    UndoOptions undo;
};

// Puts the archive back byte for byte as it was before its newest save, from that save's
// undo record, as a save rewrites it: under the same hold, after a journal of every byte
// it overwrites or cuts off is on the disk. Refused, writing nothing, unless the archive
// is exactly as that save left it. The record is deleted once the undo is final, so the
// next undo takes the save before. Gives the table of the archive it put back.
JobOutcome runUndo(UndoRequest request, JobProgress& progress);

}  // namespace jobs
}  // namespace xcr

#endif  // ARCHIVE_JOBS_UNDOJOB_H
