#ifndef ARCHIVE_JOURNALRECOVERY_H
#define ARCHIVE_JOURNALRECOVERY_H

#include <string>

#include "archive/File.h"

namespace xcr {

enum class Recovery {
    NoJournal,
    Discarded,   // an incomplete journal: the save had not touched the archive yet
    RolledBack,  // the archive was put back as it was before an interrupted save
};

// Looks for a journal beside the archive, which the caller holds opened for reading, and
// deals with it: an incomplete one is removed; a complete one that belongs to this
// archive and checks out is applied through a second, writing handle (the lock stays
// held through `archive`), and then removed. A journal that belongs to another file or
// fails its checks is never applied: that throws xcr::Failure naming it and the archive.
// A recovery that is cut off leaves the journal, and is simply done again next time.
Recovery recoverFromJournal(File& archive);

// For the jobs and previews: throws xcr::Failure when a journal lies beside the archive,
// left by a save that did not finish; the archive must be opened again first.
void refuseIfJournal(const std::string& archivePath);

}  // namespace xcr

#endif  // ARCHIVE_JOURNALRECOVERY_H
