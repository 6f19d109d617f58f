#ifndef ARCHIVE_BYTERANGE_H
#define ARCHIVE_BYTERANGE_H

#include <cstdint>

namespace xcr {

// A range of bytes of the archive.
struct ByteRange {
    std::int64_t position = 0;
    std::int64_t size = 0;
};

}  // namespace xcr

#endif  // ARCHIVE_BYTERANGE_H
