#include "archive/jobs/ExtractionJob.h"

#include <exception>

#include "archive/os/EntryCopy.h"
#include "archive/os/Failure.h"
#include "archive/os/OutputFolder.h"
#include "archive/paths/EntryFolders.h"
#include "archive/paths/OutputFile.h"

namespace xcr {
inline namespace jobs {

namespace {

// Copies one entry; a short read names the entry and where its data ends.
void copyEntry(File& archive, EntryTable::Placement placement, int index, File& output) {
    try {
        copyRange(archive, placement.offset, output, 0, placement.size);
    } catch (const Failure& failure) {
        const std::int64_t end = std::int64_t{placement.offset} + placement.size;
        const std::int64_t length = archive.length();
        if (std::string(failure.what()) != kStreamReadError || end <= length) {
            throw;
        }
        throw Failure(dataPastTheEndText(archive.path(),
                                         "the data of entry " + std::to_string(index) + " (" +
                                             std::to_string(placement.size) + " bytes at offset " +
                                             std::to_string(placement.offset) + ")",
                                         end, length));
    }
}

}  // namespace

void extractEntry(HeldArchive& archive, const EntryTable& entries, int index,
                  const OutputFolder& folder, std::string_view name) {
    OutputFile output(folder, name);
    copyEntry(archive.file(), entries.placement(index), index, output.file());
    output.commit();
}

namespace {

// Everything but the outcome. Files are owned here, so they are closed by the time this
// returns or throws.
void extractChecked(ExtractionRequest& request, JobProgress& progress) {
    HeldArchive& archive = request.archive;
    if (!archive.isOpen() || request.folder.empty()) {
        return;  // no archive, or no folder confirmed: a quiet end
    }
    archive.refuseIfChanged(request.entries, "extracting");
    // Held open from here on: the files land in the folder chosen, whatever its path
    // comes to name while the job runs. No output, in it or in a folder made in it, takes
    // the place of the archive being read, or the name its journal would have.
    OutputFolder outputs(request.folder);
    outputs.keepAway(
        [&archive](const FileIdentity& folder, const std::string& name, const struct stat* there) {
            return (there != nullptr && FileIdentity::of(*there) == archive.identity()) ||
                   archive.isJournalName(folder, name);
        });
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
        extractEntry(archive, request.entries, i, folder, request.entries.displayName(i));
        progress.setPosition(i);
    }
}

}  // namespace

JobOutcome runExtraction(ExtractionRequest request, JobProgress& progress) {
    if (!request.archive.failure().empty()) {
        return JobOutcome::failed(request.archive.failure());
    }
    try {
        extractChecked(request, progress);
    } catch (const std::exception& failure) {
        return JobOutcome::failed(failure.what());
    }
    return JobOutcome::success();
}

}  // namespace jobs
}  // namespace xcr
