#include "archive/patch/PatchFormat.h"

#include <cstring>

#include "archive/format/Checksum.h"
#include "archive/format/XcrLayout.h"
#include "archive/os/Failure.h"

namespace xcr {
inline namespace patch {

namespace {

using namespace patchformat;

void put16(std::vector<unsigned char>& out, std::uint32_t value) {
    out.push_back(static_cast<unsigned char>(value & 0xFF));
    out.push_back(static_cast<unsigned char>((value >> 8) & 0xFF));
}
void put32(std::vector<unsigned char>& out, std::uint32_t value) {
    for (int shift = 0; shift < 32; shift += 8) {
        out.push_back(static_cast<unsigned char>((value >> shift) & 0xFF));
    }
}
void put64(std::vector<unsigned char>& out, std::uint64_t value) {
    for (int shift = 0; shift < 64; shift += 8) {
        out.push_back(static_cast<unsigned char>((value >> shift) & 0xFF));
    }
}
std::uint64_t get(const unsigned char* bytes, int count) {
    std::uint64_t value = 0;
    for (int i = count - 1; i >= 0; --i) {
        value = value << 8 | bytes[i];
    }
    return value;
}

std::uint64_t headChecksum(const unsigned char* header, const unsigned char* table,
                           std::size_t tableBytes) {
    Checksum sum;
    sum.add(header, kChecksumPos);
    // An empty table may have no storage at all, which the checksum must never be handed.
    if (tableBytes > 0) {
        sum.add(table, tableBytes);
    }
    return sum.value();
}

}  // namespace

std::uint64_t bytesChecksum(const void* bytes, std::size_t size) {
    Checksum sum;
    if (size > 0) {
        sum.add(bytes, size);
    }
    return sum.value();
}

std::size_t tableSize(const std::vector<PatchEntry>& entries) {
    std::size_t size = 0;
    for (const PatchEntry& entry : entries) {
        if (entry.storedName.size() > kMaxNameSize) {
            throw Failure("a stored name is longer than " + std::to_string(kMaxNameSize) +
                          " bytes");
        }
        size += kRecordFixedSize + entry.storedName.size();
    }
    return size;
}

std::vector<unsigned char> encodeHead(const std::vector<PatchEntry>& entries) {
    const std::size_t table = tableSize(entries);
    std::vector<unsigned char> out(std::begin(kMagic), std::end(kMagic));
    out.reserve(kHeaderSize + table);
    put32(out, kVersion);
    put32(out, static_cast<std::uint32_t>(entries.size()));
    put32(out, static_cast<std::uint32_t>(table));
    put32(out, 0);
    put64(out, 0);  // the checksum, filled in below
    for (const PatchEntry& entry : entries) {
        put32(out, static_cast<std::uint32_t>(entry.index));
        put32(out, static_cast<std::uint32_t>(entry.originalSize));
        put64(out, entry.originalChecksum);
        put32(out, static_cast<std::uint32_t>(entry.size));
        put64(out, entry.checksum);
        put16(out, static_cast<std::uint32_t>(entry.storedName.size()));
        out.insert(out.end(), entry.storedName.begin(), entry.storedName.end());
    }
    const std::uint64_t sum = headChecksum(out.data(), out.data() + kHeaderSize, table);
    for (std::size_t i = 0; i < 8; ++i) {
        out[kChecksumPos + i] = static_cast<unsigned char>((sum >> (8 * i)) & 0xFF);
    }
    return out;
}

PatchHeader decodeHeader(const unsigned char* bytes, std::int64_t fileLength) {
    if (fileLength < static_cast<std::int64_t>(kHeaderSize)) {
        throw Failure("it is too short to be a mod patch");
    }
    if (std::memcmp(bytes, kMagic, sizeof kMagic) != 0) {
        throw Failure("it is not a mod patch");
    }
    const auto version = static_cast<std::uint32_t>(get(bytes + 8, 4));
    if (version != kVersion) {
        throw Failure("it is a mod patch of version " + std::to_string(version) +
                      ", which this program cannot read (it reads version " +
                      std::to_string(kVersion) + ")");
    }
    PatchHeader header;
    header.count = static_cast<std::uint32_t>(get(bytes + 12, 4));
    header.tableSize = static_cast<std::uint32_t>(get(bytes + 16, 4));
    header.checksum = get(bytes + kChecksumPos, 8);
    // Every bound holds before anything is allocated: no archive lists more entries, no
    // record is shorter or longer, and the table must lie within the file.
    const std::int64_t count = header.count;
    const std::int64_t table = header.tableSize;
    if (get(bytes + 20, 4) != 0 || count > layout::kMaxListedRecords ||
        table < count * static_cast<std::int64_t>(kRecordFixedSize) ||
        table > count * static_cast<std::int64_t>(kRecordFixedSize + kMaxNameSize) ||
        table > fileLength - static_cast<std::int64_t>(kHeaderSize)) {
        throw Failure("its header is damaged or the file is cut short");
    }
    return header;
}

std::vector<PatchEntry> decodeTable(const PatchHeader& header, const unsigned char* headerBytes,
                                    const unsigned char* table, std::int64_t fileLength) {
    if (headChecksum(headerBytes, table, header.tableSize) != header.checksum) {
        throw Failure("its table is damaged (its checksum does not match)");
    }
    const auto damaged = [] { return Failure("its table is damaged"); };
    std::vector<PatchEntry> entries;
    entries.reserve(header.count);
    std::size_t at = 0;
    std::int64_t dataPos = static_cast<std::int64_t>(kHeaderSize) + header.tableSize;
    for (std::uint32_t i = 0; i < header.count; ++i) {
        if (header.tableSize - at < kRecordFixedSize) {
            throw damaged();
        }
        const unsigned char* record = table + at;
        PatchEntry entry;
        const std::uint64_t index = get(record, 4);
        entry.originalSize = static_cast<std::int64_t>(get(record + 4, 4));
        entry.originalChecksum = get(record + 8, 8);
        entry.size = static_cast<std::int64_t>(get(record + 16, 4));
        entry.checksum = get(record + 20, 8);
        const std::size_t nameSize = get(record + 28, 2);
        at += kRecordFixedSize;
        if (index >= static_cast<std::uint64_t>(layout::kMaxListedRecords) ||
            (!entries.empty() && static_cast<std::int64_t>(index) <= entries.back().index) ||
            entry.originalSize > layout::kMaxValue || entry.size > layout::kMaxValue ||
            nameSize > kMaxNameSize || header.tableSize - at < nameSize) {
            throw damaged();
        }
        entry.index = static_cast<std::int32_t>(index);
        entry.storedName.assign(reinterpret_cast<const char*>(table + at), nameSize);
        if (entry.storedName.find('\0') != std::string::npos) {
            throw damaged();
        }
        at += nameSize;
        entry.dataPos = dataPos;
        dataPos += entry.size;
        if (dataPos > fileLength) {
            throw Failure("it is cut short: the bytes of entry " + std::to_string(entry.index) +
                          " end past its end");
        }
        entries.push_back(std::move(entry));
    }
    if (at != header.tableSize) {
        throw damaged();
    }
    if (dataPos != fileLength) {
        throw Failure("it has " + std::to_string(fileLength - dataPos) +
                      " bytes after its last entry");
    }
    return entries;
}

}  // namespace patch
}  // namespace xcr
