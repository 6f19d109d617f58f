#ifndef ARCHIVE_JOURNALFORMAT_H
#define ARCHIVE_JOURNALFORMAT_H

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "archive/File.h"

// The rollback journal a save writes beside the archive before it changes a byte of it.
//
// Layout (numbers 8-byte little-endian):
//   header, 512 bytes:  0 magic "XCRJNL01"   8 checksum of bytes 16..511
//                      16 the archive's old length   24 listed entries
//                      32 kept ranges   40 body length   48 checksum of the body
//                      56 length of the archive's file name (2 bytes), then the name
//   body, from 512:    per kept range: its position in the archive, its size, its bytes
//
// The body is written and flushed first, the header last: until the header is flushed
// the journal is incomplete (its first bytes are zero) and the archive is untouched.
// The first kept range is always the archive's header and directory.
namespace xcr::journal {

inline constexpr std::int64_t kHeaderSize = 512;
inline constexpr std::int64_t kRangeHeaderSize = 16;
inline constexpr std::size_t kMaxNameSize = 440;

// The journal's path: the archive's own, followed by "-journal".
std::string pathFor(const std::string& archivePath);

struct Header {
    std::int64_t oldLength = 0;
    std::int64_t listed = 0;
    std::int64_t rangeCount = 0;
    std::int64_t bodyLength = 0;
    std::uint64_t bodyChecksum = 0;
    std::string archiveName;
};

std::array<unsigned char, kHeaderSize> encodeHeader(const Header& header);

enum class HeaderState {
    Incomplete,  // the save stopped before its journal was complete
    Complete,
    Foreign,  // not a journal this program wrote
    Damaged,  // a complete journal whose header no longer checks out
};
HeaderState decodeHeader(const unsigned char* bytes, std::size_t size, Header& header);

// Where one range of the archive's old bytes lies in the journal.
struct KeptRange {
    std::int64_t position = 0;  // in the archive
    std::int64_t size = 0;
    std::int64_t at = 0;  // in the journal
};

// Writes every kept range back into the archive, cuts it to its old length and flushes it.
void restore(File& journal, const std::vector<KeptRange>& ranges, std::int64_t oldLength,
             File& archive);

void putNumber(unsigned char* into, std::uint64_t value);
std::uint64_t numberAt(const unsigned char* bytes);

}  // namespace xcr::journal

#endif  // ARCHIVE_JOURNALFORMAT_H
