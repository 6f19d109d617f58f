#include "archive/journal/JournalFormat.h"

#include <algorithm>
#include <cstring>

#include "archive/format/Checksum.h"
#include "archive/format/XcrLayout.h"

namespace xcr::journal {

namespace {

constexpr unsigned char kMagic[8] = {'X', 'C', 'R', 'J', 'N', 'L', '0', '2'};
constexpr std::size_t kChecksumAt = 8;
constexpr std::size_t kCheckedFrom = 16;
constexpr std::size_t kStateAt = 16;
constexpr std::size_t kDeviceAt = 24;
constexpr std::size_t kInodeAt = 32;
constexpr std::size_t kOldLengthAt = 40;
constexpr std::size_t kNewLengthAt = 48;
constexpr std::size_t kListedAt = 56;
constexpr std::size_t kRangeCountAt = 64;
constexpr std::size_t kBodyLengthAt = 72;
constexpr std::size_t kBodyChecksumAt = 80;
constexpr std::size_t kNameSizeAt = 88;
constexpr std::size_t kNameAt = 90;
constexpr std::uint64_t kBeingWritten = 1;
constexpr std::uint64_t kComplete = 2;

std::uint64_t headerChecksum(const unsigned char* header) {
    Checksum checksum;
    checksum.add(header + kCheckedFrom, static_cast<std::size_t>(kHeaderSize) - kCheckedFrom);
    return checksum.value();
}

// A header being written over zeros or over its first state may be cut off anywhere, but
// every byte of its magic is then either still zero or already the magic's.
bool magicMayBeTorn(const unsigned char* bytes, std::size_t size) {
    for (std::size_t i = 0; i < sizeof kMagic && i < size; ++i) {
        if (bytes[i] != 0 && bytes[i] != kMagic[i]) {
            return false;
        }
    }
    return true;
}

// A number the format gives as a signed length or count.
bool withinFormat(std::uint64_t value, std::int64_t most) {
    return value <= static_cast<std::uint64_t>(most);
}

}  // namespace

std::int64_t keptBytesAt(std::int64_t from, std::int64_t position) {
    constexpr std::int64_t kPage = 4096;
    return from + ((position % kPage) - (from % kPage) + kPage) % kPage;
}

std::int64_t plannedFieldsSize(std::int64_t listed) {
    return layout::kNumberSize + 2 * layout::kNumberSize * listed;
}

void putNumber(unsigned char* into, std::uint64_t value) {
    for (int i = 0; i < 8; ++i) {
        into[i] = static_cast<unsigned char>(value & 0xFF);
        value >>= 8;
    }
}

std::uint64_t numberAt(const unsigned char* bytes) {
    std::uint64_t value = 0;
    for (int i = 7; i >= 0; --i) {
        value = value << 8 | bytes[i];
    }
    return value;
}

std::array<unsigned char, kHeaderSize> encodeHeader(const Header& header) {
    std::array<unsigned char, kHeaderSize> bytes{};
    unsigned char* b = bytes.data();
    std::memcpy(b, kMagic, sizeof kMagic);
    putNumber(b + kStateAt, header.complete ? kComplete : kBeingWritten);
    putNumber(b + kDeviceAt, header.archive.device);
    putNumber(b + kInodeAt, header.archive.inode);
    putNumber(b + kOldLengthAt, static_cast<std::uint64_t>(header.oldLength));
    putNumber(b + kNewLengthAt, static_cast<std::uint64_t>(header.newLength));
    putNumber(b + kListedAt, static_cast<std::uint64_t>(header.listed));
    putNumber(b + kRangeCountAt, static_cast<std::uint64_t>(header.rangeCount));
    putNumber(b + kBodyLengthAt, static_cast<std::uint64_t>(header.bodyLength));
    putNumber(b + kBodyChecksumAt, header.bodyChecksum);
    const std::size_t nameSize = std::min(header.archiveName.size(), kMaxNameSize);
    b[kNameSizeAt] = static_cast<unsigned char>(nameSize & 0xFF);
    b[kNameSizeAt + 1] = static_cast<unsigned char>(nameSize >> 8);
    std::memcpy(b + kNameAt, header.archiveName.data(), nameSize);
    putNumber(b + kChecksumAt, headerChecksum(b));
    return bytes;
}

HeaderState decodeHeader(const unsigned char* bytes, std::size_t size, Header& header) {
    if (!magicMayBeTorn(bytes, size)) {
        return HeaderState::Foreign;
    }
    if (size < static_cast<std::size_t>(kHeaderSize) ||
        std::memcmp(bytes, kMagic, sizeof kMagic) != 0 ||
        numberAt(bytes + kChecksumAt) != headerChecksum(bytes)) {
        return HeaderState::Torn;
    }
    const std::uint64_t state = numberAt(bytes + kStateAt);
    const std::uint64_t oldLength = numberAt(bytes + kOldLengthAt);
    const std::uint64_t newLength = numberAt(bytes + kNewLengthAt);
    const std::uint64_t listed = numberAt(bytes + kListedAt);
    const std::uint64_t rangeCount = numberAt(bytes + kRangeCountAt);
    const std::uint64_t bodyLength = numberAt(bytes + kBodyLengthAt);
    const std::size_t nameSize = bytes[kNameSizeAt] | std::size_t{bytes[kNameSizeAt + 1]} << 8;
    header.archive = {numberAt(bytes + kDeviceAt), numberAt(bytes + kInodeAt)};
    header.archiveName.assign(reinterpret_cast<const char*>(bytes + kNameAt),
                              std::min(nameSize, kMaxNameSize));
    // Lengths within what the format allows (an undo's journal has a new length shorter
    // than its old one). The body cannot be longer than twice the archive's bytes with a
    // range header and a page of gap for each range, so no sum below can overflow.
    constexpr std::int64_t kMostBody = 4 * layout::kMaxValue;
    if ((state != kBeingWritten && state != kComplete) || nameSize > kMaxNameSize ||
        !withinFormat(oldLength, layout::kMaxValue) ||
        !withinFormat(newLength, layout::kMaxValue) ||
        !withinFormat(listed, layout::kMaxListedRecords) ||
        !withinFormat(rangeCount, kMostBody / kRangeHeaderSize) ||
        !withinFormat(bodyLength, kMostBody)) {
        return HeaderState::Damaged;
    }
    header.complete = state == kComplete;
    header.oldLength = static_cast<std::int64_t>(oldLength);
    header.newLength = static_cast<std::int64_t>(newLength);
    header.listed = static_cast<std::int64_t>(listed);
    header.rangeCount = static_cast<std::int64_t>(rangeCount);
    header.bodyLength = static_cast<std::int64_t>(bodyLength);
    header.bodyChecksum = numberAt(bytes + kBodyChecksumAt);
    return HeaderState::Checked;
}

}  // namespace xcr::journal
