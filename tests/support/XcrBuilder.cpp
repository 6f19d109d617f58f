#include "tests/support/XcrBuilder.h"

#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>

namespace xcr::test {

namespace {
constexpr std::size_t kHeader = 284;
constexpr std::size_t kRecord = 532;
}  // namespace

Bytes bytesOf(const std::string& text) {
    return Bytes(text.begin(), text.end());
}

Bytes patternBytes(std::size_t size, unsigned seed) {
    Bytes out(size);
    std::uint32_t state = seed * 2654435761u + 12345u;
    for (auto& b : out) {
        state = state * 1103515245u + 12345u;
        b = static_cast<unsigned char>(state >> 16);
    }
    return out;
}

XcrBuilder& XcrBuilder::add(std::string name, Bytes data) {
    entries_.push_back({std::move(name), std::move(data)});
    return *this;
}

XcrBuilder& XcrBuilder::add(std::string name, const std::string& text) {
    return add(std::move(name), bytesOf(text));
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
    trailing_ = Entry{std::move(name), std::move(data)};
    return *this;
}

XcrBuilder& XcrBuilder::truncateTo(std::size_t length) {
    truncate_ = length;
    return *this;
}

std::vector<std::int32_t> XcrBuilder::offsets() const {
    const std::size_t records = entries_.size() + 1;
    std::size_t at = kHeader + kRecord * records + gap_;
    std::vector<std::int32_t> out;
    for (const auto& entry : entries_) {
        out.push_back(static_cast<std::int32_t>(at));
        at += entry.data.size() + gap_;
    }
    return out;
}

Bytes XcrBuilder::build() const {
    const std::size_t records = entries_.size() + 1;
    Bytes out(kHeader + kRecord * records, 0);
    // Header and record filler bytes that no one interprets, so tests see them kept.
    for (std::size_t i = 0; i < kHeader; ++i) {
        out[i] = static_cast<unsigned char>(0xA0 + i % 31);
    }
    putNumber(out, 20, declared_.value_or(static_cast<std::int32_t>(records)));
    const auto placed = offsets();
    auto writeRecord = [&](std::size_t index, const Entry& entry, std::int32_t offset) {
        const std::size_t start = kHeader + kRecord * index;
        if (entry.name.size() > 256) {
            throw std::invalid_argument("name longer than its field");
        }
        std::fill(out.begin() + start, out.begin() + start + kRecord, 0);
        std::copy(entry.name.begin(), entry.name.end(), out.begin() + start);
        putNumber(out, start + 256, offset);
        putNumber(out, start + 260, static_cast<std::int32_t>(entry.data.size()));
        for (std::size_t i = 264; i < kRecord; ++i) {
            out[start + i] = static_cast<unsigned char>(0x30 + (index + i) % 17);
        }
    };
    out.resize(out.size() + gap_, 0xEE);
    for (std::size_t i = 0; i < entries_.size(); ++i) {
        writeRecord(i, entries_[i], placed[i]);
        out.insert(out.end(), entries_[i].data.begin(), entries_[i].data.end());
        out.resize(out.size() + (i + 1 < entries_.size() ? gap_ : 0), 0xEE);
    }
    const Entry trailing = trailing_.value_or(Entry{});
    writeRecord(entries_.size(), trailing,
                trailing.data.empty() ? 0 : static_cast<std::int32_t>(out.size()));
    out.insert(out.end(), trailing.data.begin(), trailing.data.end());
    if (truncate_ && *truncate_ < out.size()) {
        out.resize(*truncate_);
    }
    return out;
}

Bytes XcrBuilder::writeTo(const std::string& path) const {
    Bytes bytes = build();
    writeFileBytes(path, bytes);
    return bytes;
}

std::int32_t numberAt(const Bytes& bytes, std::size_t position) {
    const std::uint32_t v =
        std::uint32_t(bytes.at(position)) | std::uint32_t(bytes.at(position + 1)) << 8 |
        std::uint32_t(bytes.at(position + 2)) << 16 | std::uint32_t(bytes.at(position + 3)) << 24;
    return static_cast<std::int32_t>(v);
}

void putNumber(Bytes& bytes, std::size_t position, std::int32_t value) {
    const auto v = static_cast<std::uint32_t>(value);
    for (int i = 0; i < 4; ++i) {
        bytes.at(position + i) = static_cast<unsigned char>(v >> (8 * i));
    }
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
