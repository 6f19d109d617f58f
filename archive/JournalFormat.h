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
//                      16 the archive's old length   24 its length once saved
//                      32 listed entries   40 kept ranges   48 body length
//                      56 checksum of the body
//                      64 length of the archive's file name (2 bytes), then the name
//   body, from 512:    per kept range: its position in the archive, its size, then its
//                      bytes, from the first place where they lie as they lie in the
//                      archive within a page of 4096 bytes (the gap is not read); the
//                      body's checksum takes each range's bytes before its header;
//                      then the fields the save writes, as it writes them: the total size
//                      (4 bytes), and each listed record's offset and size (8 bytes)
//
// The body is written and flushed first, the header last: until the header is flushed
// the journal is incomplete (its header is all zero) and the archive is untouched.
// The first kept range is always the archive's header and directory. With the planned
// fields, it tells whether an archive is the one the journal belongs to: every byte of
// it must be the old one, or in a field the save writes, the new one.
namespace xcr::journal {

inline constexpr std::int64_t kHeaderSize = 512;
inline constexpr std::int64_t kRangeHeaderSize = 16;

// Where the bytes of a kept range from `position` start, the first place at or after
// `from` that lies within a page as `position` does: the kernel then copies them back
// page by page.
std::int64_t keptBytesAt(std::int64_t from, std::int64_t position);
inline constexpr std::size_t kMaxNameSize = 440;

// The journal's path: the archive's own, followed by "-journal". Links are followed, so
// every name that leads to the archive leads to the same journal.
std::string pathFor(const std::string& archivePath);
// The archive's own file name, found the same way: the name its journal records.
std::string archiveNameFor(const std::string& archivePath);

struct Header {
    std::int64_t oldLength = 0;
    std::int64_t newLength = 0;
    std::int64_t listed = 0;
    std::int64_t rangeCount = 0;
    std::int64_t bodyLength = 0;
    std::uint64_t bodyChecksum = 0;
    std::string archiveName;
};

std::array<unsigned char, kHeaderSize> encodeHeader(const Header& header);

// The size of the planned fields at the end of the body.
std::int64_t plannedFieldsSize(std::int64_t listed);

enum class HeaderState {
    Incomplete,  // the save stopped before its journal was complete: all zero
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

// Cuts the archive to its old length (which frees the room a growing save took), writes
// every kept range back into it and flushes it.
void restore(File& journal, const std::vector<KeptRange>& ranges, std::int64_t oldLength,
             File& archive);

void putNumber(unsigned char* into, std::uint64_t value);
std::uint64_t numberAt(const unsigned char* bytes);

}  // namespace xcr::journal

#endif  // ARCHIVE_JOURNALFORMAT_H
