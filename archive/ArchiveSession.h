#ifndef ARCHIVE_ARCHIVESESSION_H
#define ARCHIVE_ARCHIVESESSION_H

#include "archive/EntryTable.h"
#include "archive/ReplacementTable.h"
#include "archive/StagingFolder.h"

namespace xcr {

// The state of the open archive that lives from window creation to program end.
// The current archive path is not here: it is the Open XCR dialog's file name.
struct ArchiveSession {
    EntryTable entries;
    ReplacementTable replacements;
    StagingFolder staging = StagingFolder::create();
};

}  // namespace xcr

#endif  // ARCHIVE_ARCHIVESESSION_H
