#ifndef ARCHIVE_INTERNAL_PARSEDIRECTORY_H
#define ARCHIVE_INTERNAL_PARSEDIRECTORY_H

#include <cstddef>

#include "archive/EntryTable.h"

namespace xcr::internal {

// readEntryTable() over a file's bytes in memory: for the fuzzer and the reader's tests.
EntryTable parseEntryTable(const unsigned char* bytes, std::size_t length);

}  // namespace xcr::internal

#endif  // ARCHIVE_INTERNAL_PARSEDIRECTORY_H
