#ifndef ARCHIVE_FORMAT_BYTERANGE_H
#define ARCHIVE_FORMAT_BYTERANGE_H

#include <cstdint>

namespace xcr {
inline namespace format {

// A range of bytes of the archive.
struct ByteRange {
    std::int64_t position = 0;
    std::int64_t size = 0;
};

}  // namespace format
}  // namespace xcr

#endif  // ARCHIVE_FORMAT_BYTERANGE_H
