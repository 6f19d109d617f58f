#include "archive/store/ArchiveOpening.h"

#include "archive/format/Directory.h"
#include "archive/store/HeldArchive.h"

namespace xcr {
inline namespace store {

OpenedArchive openArchive(const std::string& path) {
    HeldArchive archive = HeldArchive::open(path, HeldArchive::Access::Read);
    OpenedArchive opened;
    opened.notice = archive.recoverJournal();
    opened.entries = readEntryTable(archive.file());
    return opened;
}

}  // namespace store
}  // namespace xcr
