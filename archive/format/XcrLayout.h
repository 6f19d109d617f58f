#ifndef ARCHIVE_FORMAT_XCRLAYOUT_H
#define ARCHIVE_FORMAT_XCRLAYOUT_H

#include <cstdint>

// Byte positions of an XCR archive. This is the only place they are written down.
namespace xcr {
inline namespace format {
namespace layout {

inline constexpr std::int64_t kRecordCountPos = 20;  // 4 bytes: records the header declares
inline constexpr std::int64_t kTotalSizePos = 24;    // 4 bytes: written by a save
inline constexpr std::int64_t kHeaderSize = 284;
inline constexpr std::int64_t kRecordSize = 532;
inline constexpr std::int64_t kNameFieldSize = 256;  // name bytes, ended by a zero byte
inline constexpr std::int64_t kOffsetField = 256;    // relative to the record's start
inline constexpr std::int64_t kSizeField = 260;
inline constexpr std::int64_t kNumberSize = 4;

// Archives, positions and sizes must stay below 2 GiB.
inline constexpr std::int64_t kMaxValue = 0x7FFFFFFF;
// The most records that fit wholly within the first 2^31 - 1 bytes: no valid archive
// lists more.
inline constexpr std::int64_t kMaxListedRecords = (kMaxValue - kHeaderSize) / kRecordSize;

inline constexpr std::int64_t recordPos(std::int64_t index) {
    return kHeaderSize + kRecordSize * index;
}
inline constexpr std::int64_t offsetPos(std::int64_t index) {
    return recordPos(index) + kOffsetField;
}
// The end of the header and directory of an archive that lists `listed` entries: the
// listed records and the last, unlisted one.
inline constexpr std::int64_t directoryEnd(std::int64_t listed) {
    return recordPos(listed + 1);
}

// How much of the header and directory of an archive that lists `listed` entries a file
// of `length` bytes holds.
inline constexpr std::int64_t directoryPresent(std::int64_t listed, std::int64_t length) {
    return directoryEnd(listed) < length ? directoryEnd(listed) : length;
}
// The end of the fields a save writes into the header and directory: the total size and
// the listed records' offsets and sizes.
inline constexpr std::int64_t fieldsEnd(std::int64_t listed) {
    return listed > 0 ? offsetPos(listed - 1) + 2 * kNumberSize : kTotalSizePos + kNumberSize;
}

// Numbers are 4-byte little-endian, read as signed 32-bit.
inline std::int32_t readNumber(const unsigned char* bytes) {
    const std::uint32_t value = std::uint32_t(bytes[0]) | std::uint32_t(bytes[1]) << 8 |
                                std::uint32_t(bytes[2]) << 16 | std::uint32_t(bytes[3]) << 24;
    return static_cast<std::int32_t>(value);
}

inline void writeNumber(unsigned char* bytes, std::int32_t value) {
    const auto v = static_cast<std::uint32_t>(value);
    bytes[0] = static_cast<unsigned char>(v & 0xFF);
    bytes[1] = static_cast<unsigned char>((v >> 8) & 0xFF);
    bytes[2] = static_cast<unsigned char>((v >> 16) & 0xFF);
    bytes[3] = static_cast<unsigned char>((v >> 24) & 0xFF);
}

}  // namespace layout
}  // namespace format
}  // namespace xcr

#endif  // ARCHIVE_FORMAT_XCRLAYOUT_H
