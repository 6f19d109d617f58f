#ifndef ARCHIVE_OS_ENTRYCOPY_H
#define ARCHIVE_OS_ENTRYCOPY_H

#include <cstddef>
#include <cstdint>

#include "archive/os/File.h"

namespace xcr {
inline namespace os {

// Copies the kernel does not make itself move through a buffer of this size; no entry
// is ever held whole.
inline constexpr std::size_t kCopyBufferSize = 1 << 20;

// Copies `size` bytes at `from` of `source` (an entry's data, kept old bytes) to `to` of
// `target`, leaving both files' positions alone, so that source and target may be one
// file (ranges that do not overlap). A negative position or size, or data that runs past
// the end of the source, fails with "Stream read error" (the bytes before the end are
// copied first); a failed write with "Cannot write PATH" and the reason.
void copyRange(File& source, std::int64_t from, File& target, std::int64_t to, std::int64_t size);

// Whether the `size` bytes at `from` of `first` are those at `to` of `second`, read a
// buffer at a time from each. Data that runs past the end of either fails with "Stream
// read error".
bool sameRange(File& first, std::int64_t from, File& second, std::int64_t to, std::int64_t size);

}  // namespace os
}  // namespace xcr

#endif  // ARCHIVE_OS_ENTRYCOPY_H
