#ifndef ARCHIVE_FORMAT_INTERNAL_PARSEDIRECTORY_H
#define ARCHIVE_FORMAT_INTERNAL_PARSEDIRECTORY_H

#include <cstddef>

#include "archive/format/EntryTable.h"

namespace xcr {
inline namespace format {
namespace internal {

// readEntryTable() over a file's bytes in memory: for the fuzzer and the reader's tests.
EntryTable parseEntryTable(const unsigned char* bytes, std::size_t length);

}  // namespace internal
}  // namespace format
}  // namespace xcr

#endif  // ARCHIVE_FORMAT_INTERNAL_PARSEDIRECTORY_H
