#include "tests/support/XcrBuilder.h"

#include <stdlib.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <stdexcept>

#include "archive/format/XcrLayout.h"

namespace xcr::test {

namespace {

constexpr unsigned char kGapByte = 0xEE;
// Data is made and written in pieces of this size.
constexpr std::size_t kPiece = std::size_t{1} << 16;

// The bytes of patternBytes(), made a piece at a time.
class PatternStream {
public:
    explicit PatternStream(unsigned seed) : state_(seed * 2654435761u + 12345u) {}

    void fill(unsigned char* out, std::size_t count) {
        for (std::size_t i = 0; i < count; ++i) {
            state_ = state_ * 1103515245u + 12345u;
            out[i] = static_cast<unsigned char>(state_ >> 16);
        }
    }

private:
    std::uint32_t state_;
};

std::size_t at(std::int64_t position) {
    return static_cast<std::size_t>(position);
}

// Hands the built bytes on in order; nothing past the truncation length gets through.
class Output {
public:
    using Write = std::function<void(const unsigned char*, std::size_t)>;

    Output(Write write, std::optional<std::size_t> limit)
        : write_(std::move(write)), limit_(limit) {}

    void put(const unsigned char* bytes, std::size_t count) {
        if (limit_) {
            count = std::min(count, *limit_ - std::min(*limit_, written_));
        }
        if (count > 0) {
            write_(bytes, count);
            written_ += count;
        }
    }

    void fill(unsigned char value, std::size_t count) {
        const Bytes piece(std::min(count, kPiece), value);
        for (std::size_t done = 0; done < count; done += piece.size()) {
            put(piece.data(), std::min(piece.size(), count - done));
        }
    }

    void pattern(std::size_t size, unsigned seed) {
        PatternStream stream(seed);
        Bytes piece(std::min(size, kPiece));
        for (std::size_t done = 0; done < size; done += piece.size()) {
            const std::size_t count = std::min(piece.size(), size - done);
            stream.fill(piece.data(), count);
            put(piece.data(), count);
        }
    }

private:
    Write write_;
    std::optional<std::size_t> limit_;
    std::size_t written_ = 0;
};

}  // namespace

Bytes bytesOf(const std::string& text) {
    return Bytes(text.begin(), text.end());
}

Bytes patternBytes(std::size_t size, unsigned seed) {
    Bytes out(size);
    PatternStream(seed).fill(out.data(), size);
    return out;
}

XcrBuilder& XcrBuilder::add(std::string name, Bytes data) {
    const std::size_t size = data.size();
    entries_.push_back({std::move(name), std::move(data), std::nullopt, size});
    return *this;
}

XcrBuilder& XcrBuilder::add(std::string name, const std::string& text) {
    return add(std::move(name), bytesOf(text));
}

XcrBuilder& XcrBuilder::addPattern(std::string name, std::size_t size, unsigned seed) {
    entries_.push_back({std::move(name), {}, seed, size});
    return *this;
}

XcrBuilder& XcrBuilder::declaredCount(std::int32_t count) {
    declared_ = count;
    return *this;
}

XcrBuilder& XcrBuilder::gap(std::size_t bytes) {
    gap_ = bytes;
    return *this;
}

XcrBuilder& XcrBuilder::trailingRecord(std::string name, Bytes data) {
    const std::size_t size = data.size();
    trailing_ = Entry{std::move(name), std::move(data), std::nullopt, size};
    return *this;
}

XcrBuilder& XcrBuilder::truncateTo(std::size_t length) {
    truncate_ = length;
    return *this;
}

XcrBuilder& XcrBuilder::plain() {
    plain_ = true;
    return *this;
}

std::vector<std::int32_t> XcrBuilder::offsets() const {
    const auto records = static_cast<std::int64_t>(entries_.size()) + 1;
    std::size_t next = at(layout::recordPos(records)) + gap_;
    std::vector<std::int32_t> out;
    for (const auto& entry : entries_) {
        out.push_back(static_cast<std::int32_t>(next));
        next += entry.size + gap_;
    }
    return out;
}

Bytes XcrBuilder::directory() const {
    using namespace layout;
    const auto records = static_cast<std::int64_t>(entries_.size()) + 1;
    Bytes out(at(recordPos(records)), 0);
    if (!plain_) {
        for (std::size_t i = 0; i < at(kHeaderSize); ++i) {
            out[i] = static_cast<unsigned char>(0xA0 + i % 31);
        }
    }
    writeNumber(&out[at(kRecordCountPos)], declared_.value_or(static_cast<std::int32_t>(records)));
    auto writeRecord = [&](std::size_t index, const Entry& entry, std::size_t offset) {
        if (entry.name.size() > at(kNameFieldSize)) {
            throw std::invalid_argument("name longer than its field");
        }
        unsigned char* record = &out[at(recordPos(static_cast<std::int64_t>(index)))];
        std::fill(record, record + kRecordSize, 0);
        std::copy(entry.name.begin(), entry.name.end(), record);
        writeNumber(record + kOffsetField, static_cast<std::int32_t>(offset));
        writeNumber(record + kSizeField, static_cast<std::int32_t>(entry.size));
        for (auto i = at(kSizeField + kNumberSize); i < at(kRecordSize) && !plain_; ++i) {
            record[i] = static_cast<unsigned char>(0x30 + (index + i) % 17);
        }
    };
    const auto placed = offsets();
    std::size_t end = out.size() + gap_;
    for (std::size_t i = 0; i < entries_.size(); ++i) {
        writeRecord(i, entries_[i], at(placed[i]));
        end = at(placed[i]) + entries_[i].size;
    }
    const Entry trailing = trailing_.value_or(Entry{});
    writeRecord(entries_.size(), trailing, trailing.size == 0 ? 0 : end);
    if (plain_) {
        writeNumber(&out[at(kTotalSizePos)], static_cast<std::int32_t>(end + trailing.size));
    }
    return out;
}

void XcrBuilder::generate(
    const std::function<void(const unsigned char*, std::size_t)>& write) const {
    Output out(write, truncate_);
    const Bytes head = directory();
    out.put(head.data(), head.size());
    out.fill(kGapByte, gap_);
    for (std::size_t i = 0; i < entries_.size(); ++i) {
        const Entry& entry = entries_[i];
        if (entry.seed) {
            out.pattern(entry.size, *entry.seed);
        } else {
            out.put(entry.data.data(), entry.data.size());
        }
        out.fill(kGapByte, i + 1 < entries_.size() ? gap_ : 0);
    }
    if (trailing_) {
        out.put(trailing_->data.data(), trailing_->data.size());
    }
}

Bytes XcrBuilder::build() const {
    Bytes bytes;
    generate([&](const unsigned char* data, std::size_t count) {
        bytes.insert(bytes.end(), data, data + count);
    });
    return bytes;
}

Bytes XcrBuilder::writeTo(const std::string& path) const {
    Bytes bytes = build();
    writeFileBytes(path, bytes);
    return bytes;
}

void XcrBuilder::streamTo(const std::string& path) const {
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    generate([&](const unsigned char* data, std::size_t count) {
        file.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(count));
    });
    if (!file) {
        throw std::runtime_error("cannot write " + path);
    }
}

std::int32_t numberAt(const Bytes& bytes, std::size_t position) {
    if (position + layout::kNumberSize > bytes.size()) {
        throw std::out_of_range("a number past the end of the bytes");
    }
    return layout::readNumber(bytes.data() + position);
}

void putNumber(Bytes& bytes, std::size_t position, std::int32_t value) {
    if (position + layout::kNumberSize > bytes.size()) {
        throw std::out_of_range("a number past the end of the bytes");
    }
    layout::writeNumber(bytes.data() + position, value);
}

Bytes readFileBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        throw std::runtime_error("cannot read " + path);
    }
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void writeFileBytes(const std::string& path, const Bytes& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
    if (!out) {
        throw std::runtime_error("cannot write " + path);
    }
}

TempDir::TempDir() {
    std::string pattern = std::filesystem::temp_directory_path().string() + "/xcrtestXXXXXX";
    if (::mkdtemp(pattern.data()) == nullptr) {
        throw std::runtime_error("cannot make a temporary folder");
    }
    path_ = pattern;
}

TempDir::~TempDir() {
    std::error_code ignored;
    std::filesystem::permissions(path_, std::filesystem::perms::owner_all,
                                 std::filesystem::perm_options::add, ignored);
    std::filesystem::remove_all(path_, ignored);
}

}  // namespace xcr::test
