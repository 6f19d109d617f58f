#include "archive/undo/UndoRecord.h"

#include <algorithm>
#include <cstring>

#include "archive/format/Checksum.h"
#include "archive/format/Directory.h"

namespace xcr {
inline namespace undo {

namespace {

constexpr char kMagic[8] = {'X', 'C', 'R', 'U', 'N', 'D', 'O', '2'};
constexpr char kFirstMagic[8] = {'X', 'C', 'R', 'U', 'N', 'D', 'O', '1'};
constexpr std::size_t kEndSize = 24;  // checksum, length, magic
// No record says more than this about a save: 5001 names of 256 bytes each, and more.
constexpr std::uint64_t kMostFacts = 1 << 22;

class FactWriter {
public:
    void number(std::uint64_t value) {
        unsigned char bytes[8];
        journal::putNumber(bytes, value);
        bytes_.insert(bytes_.end(), bytes, bytes + 8);
    }
    void text(const std::string& value) {
        number(value.size());
        bytes_.insert(bytes_.end(), value.begin(), value.end());
    }
    void known(const UndoRecord::KnownBytes& bytes) {
        number(static_cast<std::uint64_t>(bytes.position));
        number(static_cast<std::uint64_t>(bytes.held.bytes));
        number(bytes.held.checksum);
    }
    std::vector<unsigned char>& bytes() { return bytes_; }

private:
    std::vector<unsigned char> bytes_;
};

// Reads the facts, failing on any that would run past their end.
class FactReader {
public:
    explicit FactReader(const std::vector<unsigned char>& bytes) : bytes_(bytes) {}
    std::uint64_t number() {
        if (bytes_.size() - at_ < 8) {
            ok_ = false;
            return 0;
        }
        at_ += 8;
        return journal::numberAt(bytes_.data() + at_ - 8);
    }
    std::string text() {
        const std::uint64_t size = number();
        if (size > bytes_.size() - at_) {
            ok_ = false;
            return {};
        }
        at_ += static_cast<std::size_t>(size);
        return {bytes_.begin() + static_cast<std::ptrdiff_t>(at_ - size),
                bytes_.begin() + static_cast<std::ptrdiff_t>(at_)};
    }
    UndoRecord::KnownBytes known() {
        UndoRecord::KnownBytes bytes;
        bytes.position = static_cast<std::int64_t>(number());
        bytes.held.bytes = static_cast<std::int64_t>(number());
        bytes.held.checksum = number();
        return bytes;
    }
    bool failed() const { return !ok_; }
    // Every fact read, and nothing left over.
    bool whole() const { return ok_ && at_ == bytes_.size(); }

private:
    const std::vector<unsigned char>& bytes_;
    std::size_t at_ = 0;
    bool ok_ = true;
};

}  // namespace

std::vector<unsigned char> UndoRecord::encodeFacts() const {
    FactWriter facts;
    facts.number(static_cast<std::uint64_t>(time));
    facts.number(before.checksum);
    facts.number(static_cast<std::uint64_t>(before.bytes));
    facts.number(after.checksum);
    facts.number(static_cast<std::uint64_t>(after.bytes));
    facts.number(static_cast<std::uint64_t>(lengthAfter));
    facts.number(static_cast<std::uint64_t>(born));
    facts.number(replaced.size());
    for (const Replaced& entry : replaced) {
        facts.number(static_cast<std::uint64_t>(entry.index));
        facts.text(entry.name);
        facts.known(entry.before);
        facts.known(entry.after);
    }
    std::vector<unsigned char>& bytes = facts.bytes();
    const std::size_t size = bytes.size();
    Checksum checksum;
    checksum.add(bytes.data(), size);
    facts.number(checksum.value());
    facts.number(size);
    bytes.insert(bytes.end(), kMagic, kMagic + sizeof kMagic);
    return bytes;
}

std::optional<UndoRecord> UndoRecord::read(File& record) {
    UndoRecord found;
    unsigned char header[journal::kHeaderSize];
    unsigned char end[kEndSize];
    const std::int64_t length = record.length();
    if (length < journal::kHeaderSize + static_cast<std::int64_t>(kEndSize) ||
        record.readAt(0, header, sizeof header) != sizeof header ||
        journal::decodeHeader(header, sizeof header, found.journal) !=
            journal::HeaderState::Checked ||
        !found.journal.complete ||
        record.readAt(length - static_cast<std::int64_t>(kEndSize), end, sizeof end) !=
            sizeof end ||
        (std::memcmp(end + 16, kMagic, sizeof kMagic) != 0 &&
         std::memcmp(end + 16, kFirstMagic, sizeof kFirstMagic) != 0)) {
        return std::nullopt;
    }
    found.bytesKnown = std::memcmp(end + 16, kMagic, sizeof kMagic) == 0;
    const std::uint64_t size = journal::numberAt(end + 8);
    const std::int64_t factsAt = journal::kHeaderSize + found.journal.bodyLength;
    if (size > kMostFacts || factsAt + static_cast<std::int64_t>(size + kEndSize) != length) {
        return std::nullopt;
    }
    std::vector<unsigned char> bytes(static_cast<std::size_t>(size));
    Checksum checksum;
    if (record.readAt(factsAt, bytes.data(), bytes.size()) != bytes.size()) {
        return std::nullopt;
    }
    checksum.add(bytes.data(), bytes.size());
    if (checksum.value() != journal::numberAt(end)) {
        return std::nullopt;
    }
    FactReader facts(bytes);
    found.time = static_cast<std::int64_t>(facts.number());
    found.before.checksum = facts.number();
    found.before.bytes = static_cast<std::int64_t>(facts.number());
    found.after.checksum = facts.number();
    found.after.bytes = static_cast<std::int64_t>(facts.number());
    found.lengthAfter = static_cast<std::int64_t>(facts.number());
    if (found.bytesKnown) {
        found.born = static_cast<std::int64_t>(facts.number());
    }
    const std::uint64_t count = facts.number();
    for (std::uint64_t i = 0; i < count && !facts.failed(); ++i) {
        Replaced entry;
        entry.index = static_cast<std::int64_t>(facts.number());
        entry.name = facts.text();
        if (found.bytesKnown) {
            entry.before = facts.known();
            entry.after = facts.known();
        }
        found.replaced.push_back(std::move(entry));
    }
    if (!facts.whole()) {
        return std::nullopt;
    }
    return found;
}

namespace {

bool holds(HeldArchive& archive, const UndoRecord::KnownBytes& known) {
    return archive.holds(known.position, known.held);
}

}  // namespace

bool UndoRecord::directoryAsLeft(HeldArchive& archive) const {
    return archive.hasShape({born, lengthAfter, journal.listed, after});
}

const UndoRecord::Replaced* UndoRecord::changedEntry(HeldArchive& archive) const {
    if (!bytesKnown) {
        return nullptr;
    }
    for (const Replaced& entry : replaced) {
        if (!holds(archive, entry.after)) {
            return &entry;
        }
    }
    return nullptr;
}

bool UndoRecord::spent(HeldArchive& archive) const {
    if (!archive.hasShape({0, journal.oldLength, journal.listed, before})) {
        return false;
    }
    // Entries changed since by another program: nothing here is for this record.
    if (bytesKnown && std::any_of(replaced.begin(), replaced.end(), [&](const Replaced& entry) {
            return !holds(archive, entry.before);
        })) {
        return false;
    }
    return !leftAsIs(archive);
}

bool UndoRecord::precedes(const UndoRecord& newer) const {
    return journal.archive == newer.journal.archive && after == newer.before &&
           lengthAfter == newer.journal.oldLength;
}

}  // namespace undo
}  // namespace xcr
