#include "archive/Directory.h"

#include <algorithm>
#include <cstring>
#include <memory>

#include "archive/XcrLayout.h"

namespace xcr {

namespace {

using namespace layout;

// The directory is read this many records at a time.
constexpr std::int64_t kRecordsPerBlock = 2048;

std::int64_t listedRecords(std::int32_t declared, std::int64_t fileLength) {
    if (declared <= 1) {
        return 0;
    }
    const std::int64_t inFile =
        fileLength > kHeaderSize ? (fileLength - kHeaderSize + kRecordSize - 1) / kRecordSize : 0;
    return std::min<std::int64_t>(declared - 1, inFile);
}

// Passes on one whole record.
void visitRecord(const unsigned char* record, const DirectoryVisitor& visitor) {
    const auto* name = reinterpret_cast<const char*>(record);
    // A name is read only within its field: a field with no zero byte gives all its bytes.
    visitor.visit(std::string_view(name, strnlen(name, kNameFieldSize)),
                  readNumber(record + kOffsetField), readNumber(record + kSizeField));
}

template <typename ReadAt>
void visitRecords(std::int64_t fileLength, ReadAt readAt, const DirectoryVisitor& visitor) {
    unsigned char countBytes[kNumberSize] = {};
    readAt(kRecordCountPos, countBytes, kNumberSize);
    const std::int64_t count = listedRecords(readNumber(countBytes), fileLength);
    visitor.expect(count);

    // Filled by each read before it is looked at, so never cleared.
    const auto block = std::make_unique_for_overwrite<unsigned char[]>(
        static_cast<std::size_t>(std::min(kRecordsPerBlock, count) * kRecordSize));
    for (std::int64_t first = 0; first < count; first += kRecordsPerBlock) {
        const std::int64_t inBlock = std::min(kRecordsPerBlock, count - first);
        const std::int64_t got = readAt(recordPos(first), block.get(), inBlock * kRecordSize);
        for (std::int64_t i = 0; i < inBlock; ++i) {
            const std::int64_t at = i * kRecordSize;
            if (got - at >= kRecordSize) {
                visitRecord(block.get() + at, visitor);
            } else {
                // Only the last record of a short file gets here: it is completed with
                // zeros.
                unsigned char whole[kRecordSize] = {};
                std::memcpy(whole, block.get() + at,
                            static_cast<std::size_t>(std::max<std::int64_t>(0, got - at)));
                visitRecord(whole, visitor);
            }
        }
    }
}

// A visitor that keeps every record in `records`.
DirectoryVisitor collectInto(std::vector<DirectoryRecord>& records) {
    return {[&](std::int64_t count) { records.reserve(static_cast<std::size_t>(count)); },
            [&](std::string_view rawName, std::int32_t offset, std::int32_t size) {
                records.push_back({std::string(rawName), offset, size});
            }};
}

}  // namespace

void visitDirectory(File& archive, const DirectoryVisitor& visitor) {
    const std::int64_t length = archive.length();
    visitRecords(
        length,
        [&](std::int64_t at, unsigned char* into, std::int64_t size) {
            if (at >= length) {
                return std::int64_t{0};
            }
            archive.seek(at);
            return static_cast<std::int64_t>(
                archive.readSome(into, static_cast<std::size_t>(size)));
        },
        visitor);
}

std::vector<DirectoryRecord> readDirectory(File& archive) {
    std::vector<DirectoryRecord> records;
    visitDirectory(archive, collectInto(records));
    return records;
}

std::vector<DirectoryRecord> readDirectory(const std::string& path) {
    File archive = File::open(path, File::Access::Read);
    return readDirectory(archive);
}

std::vector<DirectoryRecord> parseDirectory(const unsigned char* bytes, std::size_t length) {
    const auto fileLength = static_cast<std::int64_t>(length);
    const auto readAt = [&](std::int64_t at, unsigned char* into, std::int64_t size) {
        if (at >= fileLength) {
            return std::int64_t{0};
        }
        const std::int64_t got = std::min(size, fileLength - at);
        std::memcpy(into, bytes + at, static_cast<std::size_t>(got));
        return got;
    };
    std::vector<DirectoryRecord> records;
    visitRecords(fileLength, readAt, collectInto(records));
    return records;
}

}  // namespace xcr
