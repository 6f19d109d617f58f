#include "archive/ArchiveOpening.h"

#include "archive/Directory.h"
#include "archive/Failure.h"
#include "archive/JournalRecovery.h"

namespace xcr {

OpenedArchive openArchive(const std::string& path) {
    File archive = File::open(path, File::Access::Read);
    OpenedArchive opened;
    if (recoverFromJournal(archive) == Recovery::RolledBack) {
        opened.notice = "A save of " + path +
                        " was interrupted. The archive has been put back as it was before that "
                        "save.";
    }
    opened.entries = readEntryTable(archive);
    return opened;
}

void refuseIfChanged(File& archive, const EntryTable& entries, const std::string& before) {
    refuseIfJournal(archive.path());
    if (readFingerprint(archive, entries.count()) != entries.fingerprint()) {
        throw Failure("The archive " + archive.path() +
                      " was changed by another program since it was opened. Open it again before " +
                      before + ".");
    }
}

}  // namespace xcr
