#ifndef ARCHIVE_JOURNAL_JOURNALFORMAT_H
#define ARCHIVE_JOURNAL_JOURNALFORMAT_H

#include <array>
#include <cstdint>
#include <string>

#include "archive/os/FileIdentity.h"

// The rollback journal a save writes beside the archive before it changes a byte of it.
//
// Layout (numbers 8-byte little-endian):
//   header, 512 bytes:  0 magic "XCRJNL02"   8 checksum of bytes 16..511
//                      16 state: 1 while the journal is written, 2 once it is complete
//                      24 the archive's device   32 its inode
//                      40 the archive's old length   48 its length once saved (or undone)
//                      56 listed entries   64 kept ranges   72 body length
//                      80 checksum of the body
//                      88 length of the archive's file name (2 bytes), then the name
//   body, from 512:    per kept range: its position in the archive, its size, then its
//                      bytes, from the first place where they lie as they lie in the
//                      archive within a page of 4096 bytes (the gap is not read); the
//                      body's checksum takes each range's bytes before its header;
//                      then the fields the save writes, as it writes them: the total size
//                      (4 bytes), and each listed record's offset and size (8 bytes)
//
// A save writes and flushes the header in its first state before anything else, so a
// journal found later names the file it belongs to: a journal is only ever applied to
// that file. The header in its complete state is written and flushed only once the body
// is on the disk, and the archive changes only after that; a header that does not check
// out was therefore cut off before the archive was touched.
// The first kept range is always the archive's header and directory. With the planned
// fields, it tells whether an archive still is what the journal was written from: every
// byte of it must be the old one, or in a field the save writes, the new one.
namespace xcr::journal {

inline constexpr std::int64_t kHeaderSize = 512;
inline constexpr std::int64_t kRangeHeaderSize = 16;
inline constexpr std::size_t kMaxNameSize = 420;

// Where the bytes of a kept range from `position` start, the first place at or after
// `from` that lies within a page as `position` does: the kernel then copies them back
// page by page.
std::int64_t keptBytesAt(std::int64_t from, std::int64_t position);

// The size of the planned fields at the end of the body.
std::int64_t plannedFieldsSize(std::int64_t listed);

struct Header {
    bool complete = false;
    FileIdentity archive;
    std::string archiveName;
    std::int64_t oldLength = 0;
    std::int64_t newLength = 0;
    std::int64_t listed = 0;
    std::int64_t rangeCount = 0;
    std::int64_t bodyLength = 0;
    std::uint64_t bodyChecksum = 0;
};

std::array<unsigned char, kHeaderSize> encodeHeader(const Header& header);

enum class HeaderState {
    Torn,     // short, all zero, or cut off while it was written: the archive is untouched
    Foreign,  // not a journal this program wrote
    Checked,  // a whole header; `header` holds it
    Damaged,  // a whole header whose numbers no format allows
};
// Never reads past `size`, whatever the bytes say.
HeaderState decodeHeader(const unsigned char* bytes, std::size_t size, Header& header);

// Where one range of the archive's old bytes lies in the journal.
struct KeptRange {
    std::int64_t position = 0;  // in the archive
    std::int64_t size = 0;
    std::int64_t at = 0;  // in the journal
};

void putNumber(unsigned char* into, std::uint64_t value);
std::uint64_t numberAt(const unsigned char* bytes);

}  // namespace xcr::journal

#endif  // ARCHIVE_JOURNAL_JOURNALFORMAT_H
