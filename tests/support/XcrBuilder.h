#ifndef TESTS_SUPPORT_XCRBUILDER_H
#define TESTS_SUPPORT_XCRBUILDER_H

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace xcr::test {

using Bytes = std::vector<unsigned char>;

Bytes bytesOf(const std::string& text);
// `size` bytes of a repeatable pattern that differs with `seed`.
Bytes patternBytes(std::size_t size, unsigned seed);

// Builds XCR archive bytes in memory. Entries are laid out in order right after the
// directory (plus any gap), so the last listed entry ends the file, as real archives do.
class XcrBuilder {
public:
    struct Entry {
        std::string name;  // stored name bytes (folder parts allowed)
        Bytes data;
    };

    XcrBuilder& add(std::string name, Bytes data);
    XcrBuilder& add(std::string name, const std::string& text);
    // The header declares this many records instead of entries + 1.
    XcrBuilder& declaredCount(std::int32_t count);
    // Free bytes between the directory and the first data block, and between blocks.
    XcrBuilder& gap(std::size_t bytes);
    // Data of the unlisted last record (record N - 1), placed after all listed data.
    XcrBuilder& trailingRecord(std::string name, Bytes data);
    // Cuts the built bytes to this length.
    XcrBuilder& truncateTo(std::size_t length);

    Bytes build() const;
    // Writes build() to `path` and returns the bytes.
    Bytes writeTo(const std::string& path) const;

    // The data offset each listed entry gets in build().
    std::vector<std::int32_t> offsets() const;

private:
    std::vector<Entry> entries_;
    std::optional<Entry> trailing_;
    std::optional<std::int32_t> declared_;
    std::size_t gap_ = 0;
    std::optional<std::size_t> truncate_;
};

// Little-endian helpers for checking bytes in tests.
std::int32_t numberAt(const Bytes& bytes, std::size_t position);
void putNumber(Bytes& bytes, std::size_t position, std::int32_t value);

Bytes readFileBytes(const std::string& path);
void writeFileBytes(const std::string& path, const Bytes& bytes);

// A fresh folder under the system's temporary folder, removed with its contents when
// the object goes.
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    const std::string& path() const { return path_; }
    std::string file(const std::string& name) const { return path_ + "/" + name; }

private:
    std::string path_;
};

}  // namespace xcr::test

#endif  // TESTS_SUPPORT_XCRBUILDER_H
