#ifndef ARCHIVE_ARCHIVEOPENING_H
#define ARCHIVE_ARCHIVEOPENING_H

#include <string>

#include "archive/EntryTable.h"

namespace xcr {

struct OpenedArchive {
    EntryTable entries;
    // Said to the user once the archive is listed: an interrupted save was undone, a
    // journal cut off was set aside, or a file that is not its journal lies beside it.
    std::string notice;
};

// Holds the archive for reading ("Cannot open file %s" and the reason), deals with what
// lies at its journal's name, and reads its entry table.
OpenedArchive openArchive(const std::string& path);

}  // namespace xcr

#endif  // ARCHIVE_ARCHIVEOPENING_H
