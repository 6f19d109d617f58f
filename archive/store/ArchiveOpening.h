#ifndef ARCHIVE_STORE_ARCHIVEOPENING_H
#define ARCHIVE_STORE_ARCHIVEOPENING_H

#include <string>

#include "archive/format/EntryTable.h"

namespace xcr {
inline namespace store {

struct OpenedArchive {
    EntryTable entries;
    // Said to the user once the archive is listed: an interrupted save was undone, a
    // journal cut off was set aside, or a file that is not its journal lies beside it.
    std::string notice;
};

// Holds the archive for reading ("Cannot open file %s" and the reason), deals with what
// lies at its journal's name, and reads its entry table.
OpenedArchive openArchive(const std::string& path);

}  // namespace store
}  // namespace xcr

#endif  // ARCHIVE_STORE_ARCHIVEOPENING_H
