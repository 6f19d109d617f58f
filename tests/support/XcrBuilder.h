#ifndef TESTS_SUPPORT_XCRBUILDER_H
#define TESTS_SUPPORT_XCRBUILDER_H

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace xcr::test {

using Bytes = std::vector<unsigned char>;

Bytes bytesOf(const std::string& text);
// `size` bytes of a repeatable pattern that differs with `seed`.
Bytes patternBytes(std::size_t size, unsigned seed);

// Writes XCR archives for the tests, the tools and the benchmarks. Entries are laid out
// in order right after the directory (plus any gap), so the last listed entry ends the
// file, as real archives do.
class XcrBuilder {
public:
    XcrBuilder& add(std::string name, Bytes data);
    XcrBuilder& add(std::string name, const std::string& text);
    // An entry holding patternBytes(size, seed), made only while it is written, so that
    // streamTo() can write archives far larger than memory.
    XcrBuilder& addPattern(std::string name, std::size_t size, unsigned seed);
    // The header declares this many records instead of entries + 1.
    XcrBuilder& declaredCount(std::int32_t count);
    // Free bytes between the directory and the first data block, and between blocks.
    XcrBuilder& gap(std::size_t bytes);
    // Data of the unlisted last record (record N - 1), placed after all listed data.
    XcrBuilder& trailingRecord(std::string name, Bytes data);
    // Cuts the built bytes to this length.
    XcrBuilder& truncateTo(std::size_t length);
    // Zero bytes wherever no field lies and the file's length in the total size field, as
    // a fresh archive has them. Without it, the bytes no one interprets hold a pattern,
    // so that tests see them kept.
    XcrBuilder& plain();

    Bytes build() const;
    // Writes build() to `path` and returns the bytes.
    Bytes writeTo(const std::string& path) const;
    // Writes the same bytes to `path` a piece at a time, never holding the whole archive.
    void streamTo(const std::string& path) const;

    // The data offset each listed entry gets in build().
    std::vector<std::int32_t> offsets() const;

private:
    struct Entry {
        std::string name;  // stored name bytes (folder parts allowed)
        Bytes data;
        std::optional<unsigned> seed;  // the data is patternBytes(size, seed)
        std::size_t size = 0;
    };
    // Hands the archive's bytes to `write` in order, a piece at a time.
    void generate(const std::function<void(const unsigned char*, std::size_t)>& write) const;
    Bytes directory() const;

    std::vector<Entry> entries_;
    std::optional<Entry> trailing_;
    std::optional<std::int32_t> declared_;
    std::size_t gap_ = 0;
    std::optional<std::size_t> truncate_;
    bool plain_ = false;
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
