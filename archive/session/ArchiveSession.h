#ifndef ARCHIVE_SESSION_ARCHIVESESSION_H
#define ARCHIVE_SESSION_ARCHIVESESSION_H

#include <memory>
#include <string>

#include "archive/format/EntryTable.h"
#include "archive/jobs/CheckMarks.h"
#include "archive/jobs/ExtractionJob.h"
#include "archive/jobs/ReplacementTable.h"
#include "archive/jobs/SaveJob.h"
#include "archive/os/StagingFolder.h"

namespace xcr {
inline namespace session {

// The state of the open archive for as long as the program runs, changed on one thread
// only. The jobs work on copies taken when they start.
struct ArchiveSession {
    // The file last confirmed in Open XCR, whether or not it could be opened.
    std::string archivePath;
    EntryTable entries;
    std::shared_ptr<CheckMarks> marks = std::make_shared<CheckMarks>();
    ReplacementTable replacements;
    StagingFolder staging = StagingFolder::create();

    // Makes `path` the current archive and reads it afresh: every entry, mark and
    // replacement of the one before is dropped first, so a failure ("Cannot open file
    // %s", a journal that cannot be trusted) leaves an empty list. Returns what the user
    // must be told about the opening (an interrupted save that was undone), or nothing.
    std::string open(const std::string& path);
    // Takes the table of the archive a save wrote.
    void saved(EntryTable entries);
    // Takes the table of the archive an undo put back; the marks and the replacements are
    // dropped, as at an opening.
    void undone(EntryTable entries);

    SaveRequest saveRequest(HeldArchive archive) const;
    ExtractionRequest extractionRequest(HeldArchive archive, std::string folder) const;
};

}  // namespace session
}  // namespace xcr

#endif  // ARCHIVE_SESSION_ARCHIVESESSION_H
