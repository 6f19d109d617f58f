#include "archive/format/Directory.h"

#include <algorithm>
#include <cstring>
#include <memory>

#include "archive/format/Checksum.h"
#include "archive/format/XcrLayout.h"
#include "archive/format/internal/ParseDirectory.h"

namespace xcr {
inline namespace format {

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
    return std::min({std::int64_t{declared} - 1, inFile, kMaxListedRecords});
}

// Adds one whole record to the table.
void addRecord(const unsigned char* record, EntryTable::Builder& table) {
    const auto* name = reinterpret_cast<const char*>(record);
    // A name is read only within its field: a field with no zero byte gives all its bytes.
    table.add(std::string_view(name, strnlen(name, kNameFieldSize)),
              readNumber(record + kOffsetField), readNumber(record + kSizeField));
}

// `readAt(position, into, size)` reads what the file has there and returns the count.
template <typename ReadAt>
EntryTable readTable(std::int64_t fileLength, ReadAt readAt) {
    unsigned char header[kHeaderSize] = {};
    Checksum checksum;
    const std::int64_t headerBytes = readAt(0, header, kHeaderSize);
    checksum.add(header, static_cast<std::size_t>(headerBytes));
    const std::int64_t count = listedRecords(readNumber(header + kRecordCountPos), fileLength);
    EntryTable::Builder table;
    table.expect(count);

    // Filled by each read before it is looked at, so never cleared.
    const auto block = std::make_unique_for_overwrite<unsigned char[]>(
        static_cast<std::size_t>(std::min(kRecordsPerBlock, count) * kRecordSize));
    for (std::int64_t first = 0; first < count; first += kRecordsPerBlock) {
        const std::int64_t inBlock = std::min(kRecordsPerBlock, count - first);
        const std::int64_t got = readAt(recordPos(first), block.get(), inBlock * kRecordSize);
        checksum.add(block.get(), static_cast<std::size_t>(got));
        for (std::int64_t i = 0; i < inBlock; ++i) {
            const std::int64_t at = i * kRecordSize;
            if (got - at >= kRecordSize) {
                addRecord(block.get() + at, table);
            } else {
                // Only the last record of a short file gets here: it is completed with
                // zeros.
                unsigned char whole[kRecordSize] = {};
                std::memcpy(whole, block.get() + at,
                            static_cast<std::size_t>(std::max<std::int64_t>(0, got - at)));
                addRecord(whole, table);
            }
        }
    }
    const std::int64_t covered = std::min(fileLength, recordPos(count));
    return table.finish({checksum.value(), covered});
}

}  // namespace

EntryTable readEntryTable(File& archive) {
    const std::int64_t length = archive.length();
    return readTable(length, [&](std::int64_t at, unsigned char* into, std::int64_t size) {
        return at >= length ? std::int64_t{0}
                            : static_cast<std::int64_t>(archive.readMaybeSparse(
                                  at, into, static_cast<std::size_t>(size)));
    });
}

int countListed(File& archive) {
    unsigned char count[kNumberSize] = {};
    archive.readAt(kRecordCountPos, count, sizeof count);
    return static_cast<int>(listedRecords(readNumber(count), archive.length()));
}

DirectoryFingerprint readFingerprint(File& archive, int listed) {
    return readFingerprint(archive, 0, std::min(archive.length(), recordPos(listed)));
}

DirectoryFingerprint readFingerprint(File& file, std::int64_t position, std::int64_t size) {
    const std::int64_t end = position + std::max<std::int64_t>(size, 0);
    Checksum checksum;
    std::vector<unsigned char> buffer(static_cast<std::size_t>(
        std::min<std::int64_t>(end - position, kRecordsPerBlock * kRecordSize)));
    for (std::int64_t at = position; at < end;) {
        const auto want = static_cast<std::size_t>(std::min<std::int64_t>(end - at, buffer.size()));
        const std::size_t got = file.readMaybeSparse(at, buffer.data(), want);
        checksum.add(buffer.data(), got);
        if (got < want) {
            // The file was cut short while this read it: what is there is what counts.
            return {checksum.value(), at - position + static_cast<std::int64_t>(got)};
        }
        at += static_cast<std::int64_t>(got);
    }
    return {checksum.value(), end - position};
}

EntryTable internal::parseEntryTable(const unsigned char* bytes, std::size_t length) {
    const auto fileLength = static_cast<std::int64_t>(length);
    return readTable(fileLength, [&](std::int64_t at, unsigned char* into, std::int64_t size) {
        if (at >= fileLength) {
            return std::int64_t{0};
        }
        const std::int64_t got = std::min(size, fileLength - at);
        std::memcpy(into, bytes + at, static_cast<std::size_t>(got));
        return got;
    });
}

}  // namespace format
}  // namespace xcr
