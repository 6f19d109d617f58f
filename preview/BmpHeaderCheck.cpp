#include "preview/BmpHeaderCheck.h"

#include <cstdint>

namespace xcr {

namespace {

constexpr std::uint64_t kFileHeaderSize = 14;
constexpr std::uint32_t kCoreHeaderSize = 12;  // the old header with 16-bit sizes
constexpr std::uint32_t kInfoHeaderSize = 40;
constexpr std::uint32_t kBitFields = 3;
constexpr std::uint32_t kAlphaBitFields = 6;

std::uint32_t u16At(const unsigned char* data, std::size_t position) {
    return data[position] | (data[position + 1] << 8);
}

std::uint32_t u32At(const unsigned char* data, std::size_t position) {
    return u16At(data, position) | (u16At(data, position + 2) << 16);
}

// The bytes between the headers and the pixels: colour masks and the colour table.
std::uint64_t tableBytes(const unsigned char* data, std::uint32_t headerSize) {
    if (headerSize == kCoreHeaderSize) {
        const std::uint32_t bits = u16At(data, 24);
        return bits <= 8 ? (std::uint64_t{1} << bits) * 3 : 0;
    }
    const std::uint32_t bits = u16At(data, 28);
    const std::uint32_t compression = u32At(data, 30);
    const std::uint64_t used = u32At(data, 46);
    std::uint64_t masks = 0;
    // Only the plain info header keeps its masks outside the header.
    if (headerSize == kInfoHeaderSize && compression == kBitFields) {
        masks = 12;
    } else if (headerSize == kInfoHeaderSize && compression == kAlphaBitFields) {
        masks = 16;
    }
    const std::uint64_t colours = used != 0 ? used : bits <= 8 ? std::uint64_t{1} << bits : 0;
    return masks + colours * 4;
}

}  // namespace

BmpHeaderCheck checkBmpHeader(const unsigned char* data, std::size_t size) {
    if (size == 0) {
        return BmpHeaderCheck::Empty;
    }
    if (size < kFileHeaderSize) {
        return BmpHeaderCheck::Truncated;
    }
    if (data[0] != 'B' || data[1] != 'M') {
        return BmpHeaderCheck::NotValid;
    }
    if (size < kFileHeaderSize + 4) {
        return BmpHeaderCheck::Truncated;
    }
    const std::uint32_t headerSize = u32At(data, kFileHeaderSize);
    if (headerSize != kCoreHeaderSize && headerSize < kInfoHeaderSize) {
        return BmpHeaderCheck::NotValid;
    }
    if (kFileHeaderSize + headerSize > size) {
        return BmpHeaderCheck::Truncated;
    }
    const bool core = headerSize == kCoreHeaderSize;
    if (u16At(data, core ? 22 : 26) != 1) {
        return BmpHeaderCheck::NotValid;
    }
    if (kFileHeaderSize + headerSize + tableBytes(data, headerSize) > size) {
        return BmpHeaderCheck::Truncated;
    }
    const bool noArea = core ? u16At(data, 18) == 0 || u16At(data, 20) == 0
                             : u32At(data, 18) == 0 || u32At(data, 22) == 0;
    return noArea ? BmpHeaderCheck::Empty : BmpHeaderCheck::Valid;
}

}  // namespace xcr
