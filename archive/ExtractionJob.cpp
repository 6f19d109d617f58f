#include "archive/ExtractionJob.h"

#include <algorithm>
#include <exception>

#include "archive/EntryCopy.h"
#include "archive/Failure.h"
#include "archive/File.h"
#include "archive/OutputFile.h"
#include "archive/OutputFolder.h"

namespace xcr {

namespace {

// Everything but the lock release. Files are owned here, so they are closed by the
// time this returns or throws.
void extractChecked(const std::string& archivePath, const EntryTable& entries, JobHost& host) {
    if (archivePath.empty()) {
        return;  // no archive was ever opened: a quiet end
    }
    File archive = File::open(archivePath, File::Access::Read);
    const std::string folder = host.chooseExtractionFolder();
    if (folder.empty()) {
        return;  // no folder confirmed in this run: a quiet end
    }
    // Held open from here on: the files land in the folder chosen, whatever its path
    // comes to name while the job runs.
    const OutputFolder outputs(folder);
    const int n = host.entryCount();
    if (n == 0) {
        return;
    }
    host.setProgressMax(n - 1);
    // The list is the table's twin; an item past the table has no data to copy.
    const int listed = std::min(n, entries.count());
    for (int i = 0; i < listed; ++i) {
        // The mark is read only now: Select all during the job counts from here on.
        if (!host.isChecked(i)) {
            continue;
        }
        OutputFile output(outputs, host.entryName(i));
        const EntryTable::Placement placement = entries.placement(i);
        copyEntry(archive, placement.offset, placement.size, output.file());
        output.commit();
        host.setProgress(i);
    }
}

}  // namespace

JobOutcome runExtraction(const std::string& archivePath, const EntryTable& entries, JobHost& host) {
    JobOutcome outcome;
    try {
        extractChecked(archivePath, entries, host);
    } catch (const std::exception& failure) {
        outcome = JobOutcome::failed(failure.what());
    }
    host.releaseLock();
    return outcome;
}

}  // namespace xcr
