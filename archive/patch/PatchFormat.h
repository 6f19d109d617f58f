#ifndef ARCHIVE_PATCH_PATCHFORMAT_H
#define ARCHIVE_PATCH_PATCHFORMAT_H

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace xcr {
inline namespace patch {

// A mod patch file, all numbers little-endian:
//   header  32 bytes: the magic "XCRPATCH", the version (4 bytes), the entry count (4),
//           the table's size in bytes (4), four zero bytes, and the checksum (8) of the
//           header's first 24 bytes followed by the table;
//   table   one record an entry, in rising entry order: index (4), the original's size (4)
//           and checksum (8), the patch's size (4) and checksum (8), the stored name's
//           length (2) and its bytes;
//   data    each entry's new bytes in table order, back to back, and nothing after them.
// The bytes are stored as they are: see the README for why they are not compressed.
namespace patchformat {

inline constexpr char kMagic[8] = {'X', 'C', 'R', 'P', 'A', 'T', 'C', 'H'};
inline constexpr std::uint32_t kVersion = 1;
inline constexpr std::size_t kHeaderSize = 32;
inline constexpr std::size_t kChecksumPos = 24;
inline constexpr std::size_t kRecordFixedSize = 30;
// A stored name fills at most the archive's name field less its ending zero byte.
inline constexpr std::size_t kMaxNameSize = 255;

}  // namespace patchformat

// One entry of a patch: which entry it replaces and what it holds before and after.
struct PatchEntry {
    std::int32_t index = 0;
    std::string storedName;
    std::int64_t originalSize = 0;
    std::uint64_t originalChecksum = 0;
    std::int64_t size = 0;
    std::uint64_t checksum = 0;
    // Where its bytes start in the patch file, worked out on reading.
    std::int64_t dataPos = 0;

    bool operator==(const PatchEntry&) const = default;
};

struct PatchHeader {
    std::uint32_t count = 0;
    std::uint32_t tableSize = 0;
    std::uint64_t checksum = 0;
};

// The checksum of a stretch of bytes as patches keep it (size and bytes alike).
std::uint64_t bytesChecksum(const void* bytes, std::size_t size);

// The table's size for these entries; fails when a name is longer than a stored name
// can be.
std::size_t tableSize(const std::vector<PatchEntry>& entries);
// The header and the table of `entries`, which must be in rising index order.
std::vector<unsigned char> encodeHead(const std::vector<PatchEntry>& entries);

// Reads the header from its kHeaderSize bytes and bounds every number in it against a
// patch file of `fileLength` bytes. Throws xcr::Failure with the reason (the caller
// names the file).
PatchHeader decodeHeader(const unsigned char* bytes, std::int64_t fileLength);
// Reads the table that follows `header`, checks its checksum, its order and every size,
// and works out where each entry's bytes lie; the bytes must end the file exactly.
// Throws xcr::Failure with the reason.
std::vector<PatchEntry> decodeTable(const PatchHeader& header, const unsigned char* headerBytes,
                                    const unsigned char* table, std::int64_t fileLength);

}  // namespace patch
}  // namespace xcr

#endif  // ARCHIVE_PATCH_PATCHFORMAT_H
