#ifndef ARCHIVE_JOBS_EXTRACTIONJOB_H
#define ARCHIVE_JOBS_EXTRACTIONJOB_H

#include <memory>
#include <string>
#include <string_view>

#include "archive/format/EntryTable.h"
#include "archive/jobs/CheckMarks.h"
#include "archive/jobs/JobOutcome.h"
#include "archive/jobs/JobProgress.h"
#include "archive/os/OutputFolder.h"
#include "archive/store/HeldArchive.h"

namespace xcr {
inline namespace jobs {

// Everything an extraction works from, taken when it starts. The marks stay live: the
// list may change them while the job runs.
struct ExtractionRequest {
    HeldArchive archive;
    // The folder the user confirmed; empty when the question was cancelled or no folder
    // was ever confirmed, and nothing is written then.
    std::string folder;
    EntryTable entries;
    std::shared_ptr<const CheckMarks> marks;
    // Each entry goes into the folders its stored name's folder parts name (see
    // EntryFolders), so that entries of one display name no longer share a file.
    bool folderParts = false;
};

// Writes entry `index` into `folder` as the file `name` (a display name, made safe there),
// by way of a temporary file that takes the name only once it is whole. Fails naming the
// entry when its data runs past the archive's end.
void extractEntry(HeldArchive& archive, const EntryTable& entries, int index,
                  const OutputFolder& folder, std::string_view name);

// Copies every checked entry into the folder, each under its safe file name, reading
// each mark only when the loop reaches the entry.
JobOutcome runExtraction(ExtractionRequest request, JobProgress& progress);

}  // namespace jobs
}  // namespace xcr

#endif  // ARCHIVE_JOBS_EXTRACTIONJOB_H
