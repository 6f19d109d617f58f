#ifndef ARCHIVE_PATCH_PATCHSTREAMS_H
#define ARCHIVE_PATCH_PATCHSTREAMS_H

#include <cstddef>
#include <cstdint>
#include <functional>

#include "archive/os/File.h"

namespace xcr {
inline namespace patch {

// Hands `size` bytes at `position` of `source` to `sink` a buffer at a time, never the
// whole range at once, and returns their checksum as patches keep it. Fails with
// "Stream read error" where the file ends sooner.
using ByteSink = std::function<void(const unsigned char* bytes, std::size_t size)>;
std::uint64_t streamRange(File& source, std::int64_t position, std::int64_t size,
                          const ByteSink& sink = {});

}  // namespace patch
}  // namespace xcr

#endif  // ARCHIVE_PATCH_PATCHSTREAMS_H
