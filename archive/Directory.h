#ifndef ARCHIVE_DIRECTORY_H
#define ARCHIVE_DIRECTORY_H

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "archive/File.h"

namespace xcr {

// One listed directory record, as stored: the name bytes up to (not including) the
// first zero byte of the name field, and the data offset and size.
struct DirectoryRecord {
    std::string rawName;
    std::int32_t offset = 0;
    std::int32_t size = 0;
};

// What readDirectory() lists, passed on one record at a time without keeping any:
// first `expect` with how many records follow, then `visit` for each in order. The name
// is valid only during its call.
struct DirectoryVisitor {
    std::function<void(std::int64_t count)> expect;
    std::function<void(std::string_view rawName, std::int32_t offset, std::int32_t size)> visit;
};
void visitDirectory(File& archive, const DirectoryVisitor& visitor);

// Reads the record count and the listed records (the first N - 1 of the N declared).
// Bytes past the end of the file read as zero; a record that starts past the end of
// the file carries nothing and is not listed, so a hostile count cannot make the
// reader allocate without bound. Never fails on a short file.
std::vector<DirectoryRecord> readDirectory(File& archive);

// Opens the archive at `path` for reading (failing with "Cannot open file %s"), reads
// its directory and closes it again.
std::vector<DirectoryRecord> readDirectory(const std::string& path);

// The same, from a file's bytes in memory (used for fuzzing and by readDirectory's tests).
std::vector<DirectoryRecord> parseDirectory(const unsigned char* bytes, std::size_t length);

}  // namespace xcr

#endif  // ARCHIVE_DIRECTORY_H
