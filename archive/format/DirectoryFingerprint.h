#ifndef ARCHIVE_FORMAT_DIRECTORYFINGERPRINT_H
#define ARCHIVE_FORMAT_DIRECTORYFINGERPRINT_H

#include <cstdint>

namespace xcr {
inline namespace format {

// What an archive's header and listed directory records held when they were read: a
// checksum of their bytes and how many of them the file had. A job compares it with the
// file as it finds it, so that a table read before another program changed the archive
// is never used to write.
struct DirectoryFingerprint {
    std::uint64_t checksum = 0;
    std::int64_t bytes = 0;

    bool operator==(const DirectoryFingerprint&) const = default;
};

}  // namespace format
}  // namespace xcr

#endif  // ARCHIVE_FORMAT_DIRECTORYFINGERPRINT_H
