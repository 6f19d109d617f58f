#ifndef ARCHIVE_PATCH_PATCHFILE_H
#define ARCHIVE_PATCH_PATCHFILE_H

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "archive/os/File.h"
#include "archive/patch/PatchFormat.h"

namespace xcr {
inline namespace patch {

// A mod patch opened for reading. Opening reads and checks the header and the table (every
// number bounded by the file's length before it is used); the entries' bytes are read
// only as they are streamed out, and checked against their checksums then. A patch is
// hostile input: every failure is "Cannot read patch PATH: " and the reason.
class PatchFile {
public:
    static PatchFile open(const std::string& path);

    const std::string& path() const { return path_; }
    const std::vector<PatchEntry>& entries() const { return entries_; }
    // The bytes of all entries together.
    std::int64_t dataSize() const;

    // Reads every entry's bytes and fails at the first that does not match its checksum.
    void verify();
    // Writes entry `which`'s bytes to `target` from its start, checking them as they go.
    void copyEntry(std::size_t which, File& target);

    std::string failureText(const std::string& reason) const;

private:
    PatchFile(File file, std::string path) : file_(std::move(file)), path_(std::move(path)) {}
    void stream(std::size_t which, File* target);

    File file_;
    std::string path_;
    std::vector<PatchEntry> entries_;
};

}  // namespace patch
}  // namespace xcr

#endif  // ARCHIVE_PATCH_PATCHFILE_H
