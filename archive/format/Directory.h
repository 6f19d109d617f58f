#ifndef ARCHIVE_FORMAT_DIRECTORY_H
#define ARCHIVE_FORMAT_DIRECTORY_H

#include "archive/format/DirectoryFingerprint.h"
#include "archive/format/EntryTable.h"
#include "archive/os/File.h"

namespace xcr {
inline namespace format {

// Reads the record count and the listed records (the first N - 1 of the N declared)
// into a table, with the fingerprint of the header and those records. Only records that
// lie wholly within the first 2^31 - 1 bytes and start before the end of the file are
// listed, so a hostile count cannot make the reader allocate or read without bound.
// Bytes past the end of the file read as zero. Never fails on a short file.
EntryTable readEntryTable(File& archive);

// How many records the file lists now, by the same rule as readEntryTable().
int countListed(File& archive);

// The fingerprint of the header and the first `listed` records as the file holds them now.
DirectoryFingerprint readFingerprint(File& archive, int listed);
// The fingerprint of `size` bytes at `position` as the file holds them now; fewer bytes
// where the file ends sooner.
DirectoryFingerprint readFingerprint(File& file, std::int64_t position, std::int64_t size);

}  // namespace format
}  // namespace xcr

#endif  // ARCHIVE_FORMAT_DIRECTORY_H
