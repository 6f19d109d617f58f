#include "archive/store/OpenedArchive.h"

#include "archive/format/Directory.h"
#include "archive/store/HeldArchive.h"

namespace xcr {
inline namespace store {

OpenedArchive openArchive(const std::string& path, HeldArchive::Access access) {
    OpenedArchive opened;
    opened.archive = HeldArchive::open(path, access);
    opened.notice = opened.archive.recoverJournal();
    opened.entries = readEntryTable(opened.archive.file());
    return opened;
}

}  // namespace store
}  // namespace xcr
