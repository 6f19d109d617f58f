#include "archive/Directory.h"

#include <algorithm>
#include <cstring>

#include "archive/XcrLayout.h"

namespace xcr {

namespace {

using namespace layout;

// The directory is read this many records at a time.
constexpr std::int64_t kRecordsPerBlock = 2048;

// Decodes one record from a buffer holding `available` of its bytes (the rest lie past
// the end of the file and count as zero).
DirectoryRecord decodeRecord(const unsigned char* record, std::int64_t available) {
    unsigned char whole[kRecordSize] = {};
    std::memcpy(whole, record, static_cast<std::size_t>(std::min(available, kRecordSize)));
    DirectoryRecord out;
    const auto* name = reinterpret_cast<const char*>(whole);
    // A name is read only within its field: a field with no zero byte gives all its bytes.
    out.rawName.assign(name, strnlen(name, kNameFieldSize));
    out.offset = readNumber(whole + kOffsetField);
    out.size = readNumber(whole + kSizeField);
    return out;
}

std::int64_t listedRecords(std::int32_t declared, std::int64_t fileLength) {
    if (declared <= 1) {
        return 0;
    }
    const std::int64_t inFile =
        fileLength > kHeaderSize ? (fileLength - kHeaderSize + kRecordSize - 1) / kRecordSize : 0;
    return std::min<std::int64_t>(declared - 1, inFile);
}

template <typename ReadAt>
std::vector<DirectoryRecord> readRecords(std::int64_t fileLength, ReadAt readAt) {
    unsigned char countBytes[kNumberSize] = {};
    readAt(kRecordCountPos, countBytes, kNumberSize);
    const std::int64_t count = listedRecords(readNumber(countBytes), fileLength);

    std::vector<DirectoryRecord> records;
    records.reserve(static_cast<std::size_t>(count));
    std::vector<unsigned char> block;
    for (std::int64_t first = 0; first < count; first += kRecordsPerBlock) {
        const std::int64_t inBlock = std::min(kRecordsPerBlock, count - first);
        const std::int64_t start = recordPos(first);
        const std::int64_t wanted = inBlock * kRecordSize;
        block.resize(static_cast<std::size_t>(wanted));
        const std::int64_t got = readAt(start, block.data(), wanted);
        for (std::int64_t i = 0; i < inBlock; ++i) {
            const std::int64_t at = i * kRecordSize;
            records.push_back(decodeRecord(block.data() + at, std::max<std::int64_t>(0, got - at)));
        }
    }
    return records;
}

}  // namespace

std::vector<DirectoryRecord> readDirectory(File& archive) {
    const std::int64_t length = archive.length();
    return readRecords(length, [&](std::int64_t at, unsigned char* into, std::int64_t size) {
        if (at >= length) {
            return std::int64_t{0};
        }
        archive.seek(at);
        return static_cast<std::int64_t>(archive.readSome(into, static_cast<std::size_t>(size)));
    });
}

std::vector<DirectoryRecord> readDirectory(const std::string& path) {
    File archive = File::open(path, File::Access::Read);
    return readDirectory(archive);
}

std::vector<DirectoryRecord> parseDirectory(const unsigned char* bytes, std::size_t length) {
    const auto fileLength = static_cast<std::int64_t>(length);
    return readRecords(fileLength, [&](std::int64_t at, unsigned char* into, std::int64_t size) {
        if (at >= fileLength) {
            return std::int64_t{0};
        }
        const std::int64_t got = std::min(size, fileLength - at);
        std::memcpy(into, bytes + at, static_cast<std::size_t>(got));
        return got;
    });
}

}  // namespace xcr
