#include "archive/ExtractionJob.h"

#include <exception>

#include "archive/ArchiveOpening.h"
#include "archive/EntryCopy.h"
#include "archive/EntryFolders.h"
#include "archive/OutputFile.h"
#include "archive/OutputFolder.h"

namespace xcr {

namespace {

// Everything but the outcome. Files are owned here, so they are closed by the time this
// returns or throws.
void extractChecked(ExtractionRequest& request, JobProgress& progress) {
    File& archive = request.archive.file;
    if (!archive.isOpen() || request.folder.empty()) {
        return;  // no archive, or no folder confirmed: a quiet end
    }
    refuseIfChanged(archive, request.entries, "extracting");
    // Held open from here on: the files land in the folder chosen, whatever its path
    // comes to name while the job runs.
    const OutputFolder outputs(request.folder);
    EntryFolders folders(outputs);
    const int n = request.entries.count();
    if (n == 0) {
        return;
    }
    progress.setMaximum(n - 1);
    for (int i = 0; i < n; ++i) {
        // The mark is read only now: a change of marks during the job counts from here on.
        if (!request.marks->isChecked(i)) {
            continue;
        }
        const OutputFolder& folder =
            request.folderParts ? folders.folderFor(request.entries.storedName(i)) : outputs;
        OutputFile output(folder, request.entries.displayName(i));
        const EntryTable::Placement placement = request.entries.placement(i);
        copyRange(archive, placement.offset, output.file(), 0, placement.size);
        output.commit();
        progress.setPosition(i);
    }
}

}  // namespace

HeldArchive holdArchive(const std::string& path) {
    HeldArchive held;
    if (path.empty()) {
        return held;
    }
    try {
        held.file = File::open(path, File::Access::Read);
    } catch (const std::exception& failure) {
        held.failure = failure.what();
    }
    return held;
}

JobOutcome runExtraction(ExtractionRequest request, JobProgress& progress) {
    if (!request.archive.failure.empty()) {
        return JobOutcome::failed(request.archive.failure);
    }
    try {
        extractChecked(request, progress);
    } catch (const std::exception& failure) {
        return JobOutcome::failed(failure.what());
    }
    return JobOutcome::success();
}

}  // namespace xcr
