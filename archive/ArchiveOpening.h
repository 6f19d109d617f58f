#ifndef ARCHIVE_ARCHIVEOPENING_H
#define ARCHIVE_ARCHIVEOPENING_H

#include <string>

#include "archive/EntryTable.h"
#include "archive/File.h"

namespace xcr {

struct OpenedArchive {
    EntryTable entries;
    // Said to the user once the archive is listed: an interrupted save was undone.
    std::string notice;
};

// Opens the archive for reading ("Cannot open file %s"), first putting it back from the
// journal of a save that was cut off, and reads its entry table.
OpenedArchive openArchive(const std::string& path);

// For a job about to use `entries` on the archive it holds: throws xcr::Failure when a
// journal lies beside it, or when its header and listed records are no longer those the
// table was read from (another program changed it), `before` naming what the user
// wanted to do ("saving", "extracting").
void refuseIfChanged(File& archive, const EntryTable& entries, const std::string& before);

}  // namespace xcr

#endif  // ARCHIVE_ARCHIVEOPENING_H
