#include "archive/JournalFormat.h"

#include <algorithm>
#include <cstring>

#include "archive/Checksum.h"
#include "archive/EntryCopy.h"
#include "archive/XcrLayout.h"

namespace xcr::journal {

namespace {

constexpr unsigned char kMagic[8] = {'X', 'C', 'R', 'J', 'N', 'L', '0', '1'};
constexpr std::size_t kChecksumAt = 8;
constexpr std::size_t kCheckedFrom = 16;
constexpr std::size_t kNameSizeAt = 56;
constexpr std::size_t kNameAt = 58;

std::uint64_t headerChecksum(const unsigned char* header) {
    Checksum checksum;
    checksum.add(header + kCheckedFrom, static_cast<std::size_t>(kHeaderSize) - kCheckedFrom);
    return checksum.value();
}

}  // namespace

std::string pathFor(const std::string& archivePath) {
    return archivePath + "-journal";
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
    std::memcpy(bytes.data(), kMagic, sizeof kMagic);
    putNumber(bytes.data() + 16, static_cast<std::uint64_t>(header.oldLength));
    putNumber(bytes.data() + 24, static_cast<std::uint64_t>(header.listed));
    putNumber(bytes.data() + 32, static_cast<std::uint64_t>(header.rangeCount));
    putNumber(bytes.data() + 40, static_cast<std::uint64_t>(header.bodyLength));
    putNumber(bytes.data() + 48, header.bodyChecksum);
    const std::size_t nameSize = std::min(header.archiveName.size(), kMaxNameSize);
    bytes[kNameSizeAt] = static_cast<unsigned char>(nameSize & 0xFF);
    bytes[kNameSizeAt + 1] = static_cast<unsigned char>(nameSize >> 8);
    std::memcpy(bytes.data() + kNameAt, header.archiveName.data(), nameSize);
    putNumber(bytes.data() + kChecksumAt, headerChecksum(bytes.data()));
    return bytes;
}

HeaderState decodeHeader(const unsigned char* bytes, std::size_t size, Header& header) {
    const bool blank = size < sizeof kMagic || std::all_of(bytes, bytes + sizeof kMagic,
                                                           [](unsigned char b) { return b == 0; });
    if (blank) {
        return HeaderState::Incomplete;
    }
    if (std::memcmp(bytes, kMagic, sizeof kMagic) != 0) {
        return HeaderState::Foreign;
    }
    if (size < static_cast<std::size_t>(kHeaderSize) ||
        numberAt(bytes + kChecksumAt) != headerChecksum(bytes)) {
        return HeaderState::Damaged;
    }
    header.oldLength = static_cast<std::int64_t>(numberAt(bytes + 16));
    header.listed = static_cast<std::int64_t>(numberAt(bytes + 24));
    header.rangeCount = static_cast<std::int64_t>(numberAt(bytes + 32));
    header.bodyLength = static_cast<std::int64_t>(numberAt(bytes + 40));
    header.bodyChecksum = numberAt(bytes + 48);
    const std::size_t nameSize = bytes[kNameSizeAt] | std::size_t{bytes[kNameSizeAt + 1]} << 8;
    if (nameSize > kMaxNameSize || header.oldLength < 0 || header.listed < 0 ||
        header.listed > layout::kMaxListedRecords || header.rangeCount < 0 ||
        header.bodyLength < 0) {
        return HeaderState::Damaged;
    }
    header.archiveName.assign(reinterpret_cast<const char*>(bytes + kNameAt), nameSize);
    return HeaderState::Complete;
}

void restore(File& journal, const std::vector<KeptRange>& ranges, std::int64_t oldLength,
             File& archive) {
    for (const KeptRange& range : ranges) {
        copyRange(journal, range.at, archive, range.position, range.size);
    }
    archive.truncate(oldLength);
    archive.sync();
}

}  // namespace xcr::journal
