#ifndef ARCHIVE_STORE_ARCHIVEOPENING_H
#define ARCHIVE_STORE_ARCHIVEOPENING_H

#include <string>

#include "archive/format/EntryTable.h"
#include "archive/store/HeldArchive.h"

namespace xcr {
inline namespace store {

struct OpenedArchive {
    // Held until the caller lets it go: a command reads and writes through this one hold.
    HeldArchive archive;
    EntryTable entries;
    // Said to the user once the archive is listed: an interrupted save was undone, a
    // journal cut off was set aside, or a file that is not its journal lies beside it.
    std::string notice;
};

// Holds the archive ("Cannot open file %s" and the reason), for writing too when the
// command will write, deals with what lies at its journal's name, and reads its entry
// table.
OpenedArchive openArchive(const std::string& path,
                          HeldArchive::Access access = HeldArchive::Access::Read);

}  // namespace store
}  // namespace xcr

#endif  // ARCHIVE_STORE_ARCHIVEOPENING_H
