#include "archive/JournalFormat.h"

#include <sys/stat.h>

#include <climits>
#include <cstdlib>

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
constexpr std::size_t kNameSizeAt = 64;
constexpr std::size_t kNameAt = 66;

std::uint64_t headerChecksum(const unsigned char* header) {
    Checksum checksum;
    checksum.add(header + kCheckedFrom, static_cast<std::size_t>(kHeaderSize) - kCheckedFrom);
    return checksum.value();
}

}  // namespace

// The file itself, whatever link it was opened through, so that every name of the
// archive finds the same journal. Folders on the way need no resolving: the journal lies
// in the same folder either way.
std::string resolved(const std::string& archivePath) {
    struct stat info {};
    char path[PATH_MAX];
    if (::lstat(archivePath.c_str(), &info) == 0 && S_ISLNK(info.st_mode) &&
        ::realpath(archivePath.c_str(), path) != nullptr) {
        return path;
    }
    return archivePath;
}

std::string pathFor(const std::string& archivePath) {
    return resolved(archivePath) + "-journal";
}

std::string archiveNameFor(const std::string& archivePath) {
    const std::string path = resolved(archivePath);
    return path.substr(path.find_last_of('/') + 1);
}

std::int64_t keptBytesAt(std::int64_t from, std::int64_t position) {
    constexpr std::int64_t kPage = 4096;
    return from + ((position - from) % kPage + kPage) % kPage;
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
    std::memcpy(bytes.data(), kMagic, sizeof kMagic);
    putNumber(bytes.data() + 16, static_cast<std::uint64_t>(header.oldLength));
    putNumber(bytes.data() + 24, static_cast<std::uint64_t>(header.newLength));
    putNumber(bytes.data() + 32, static_cast<std::uint64_t>(header.listed));
    putNumber(bytes.data() + 40, static_cast<std::uint64_t>(header.rangeCount));
    putNumber(bytes.data() + 48, static_cast<std::uint64_t>(header.bodyLength));
    putNumber(bytes.data() + 56, header.bodyChecksum);
    const std::size_t nameSize = std::min(header.archiveName.size(), kMaxNameSize);
    bytes[kNameSizeAt] = static_cast<unsigned char>(nameSize & 0xFF);
    bytes[kNameSizeAt + 1] = static_cast<unsigned char>(nameSize >> 8);
    std::memcpy(bytes.data() + kNameAt, header.archiveName.data(), nameSize);
    putNumber(bytes.data() + kChecksumAt, headerChecksum(bytes.data()));
    return bytes;
}

HeaderState decodeHeader(const unsigned char* bytes, std::size_t size, Header& header) {
    // A save writes the whole header as zeros first, and the real one only once the body
    // is on the disk; anything else that is not a whole, checked header is not its doing.
    const std::size_t present = std::min(size, static_cast<std::size_t>(kHeaderSize));
    if (std::all_of(bytes, bytes + present, [](unsigned char b) { return b == 0; })) {
        return HeaderState::Incomplete;
    }
    if (size < sizeof kMagic) {
        return HeaderState::Foreign;
    }
    if (std::memcmp(bytes, kMagic, sizeof kMagic) != 0) {
        return HeaderState::Foreign;
    }
    if (size < static_cast<std::size_t>(kHeaderSize) ||
        numberAt(bytes + kChecksumAt) != headerChecksum(bytes)) {
        return HeaderState::Damaged;
    }
    header.oldLength = static_cast<std::int64_t>(numberAt(bytes + 16));
    header.newLength = static_cast<std::int64_t>(numberAt(bytes + 24));
    header.listed = static_cast<std::int64_t>(numberAt(bytes + 32));
    header.rangeCount = static_cast<std::int64_t>(numberAt(bytes + 40));
    header.bodyLength = static_cast<std::int64_t>(numberAt(bytes + 48));
    header.bodyChecksum = numberAt(bytes + 56);
    const std::size_t nameSize = bytes[kNameSizeAt] | std::size_t{bytes[kNameSizeAt + 1]} << 8;
    // Lengths within what the format allows; a save never makes an archive shorter.
    if (nameSize > kMaxNameSize || header.oldLength < 0 || header.oldLength > layout::kMaxValue ||
        header.newLength < header.oldLength || header.newLength > layout::kMaxValue ||
        header.listed < 0 || header.listed > layout::kMaxListedRecords || header.rangeCount < 0 ||
        header.bodyLength < 0) {
        return HeaderState::Damaged;
    }
    header.archiveName.assign(reinterpret_cast<const char*>(bytes + kNameAt), nameSize);
    return HeaderState::Complete;
}

void restore(File& journal, const std::vector<KeptRange>& ranges, std::int64_t oldLength,
             File& archive) {
    archive.truncate(oldLength);
    for (const KeptRange& range : ranges) {
        copyRange(journal, range.at, archive, range.position, range.size);
    }
    archive.sync();
}

}  // namespace xcr::journal
