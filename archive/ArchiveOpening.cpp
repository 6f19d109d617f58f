#include "archive/ArchiveOpening.h"

#include "archive/Directory.h"
#include "archive/HeldArchive.h"

namespace xcr {

OpenedArchive openArchive(const std::string& path) {
    HeldArchive archive = HeldArchive::open(path, HeldArchive::Access::Read);
    OpenedArchive opened;
    opened.notice = archive.recoverJournal();
    opened.entries = readEntryTable(archive.file());
    return opened;
}

}  // namespace xcr
