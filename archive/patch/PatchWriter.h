#ifndef ARCHIVE_PATCH_PATCHWRITER_H
#define ARCHIVE_PATCH_PATCHWRITER_H

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "archive/os/File.h"
#include "archive/os/OutputFolder.h"
#include "archive/patch/PatchFormat.h"

namespace xcr {
inline namespace patch {

// Writes a mod patch to a fresh hidden file beside `path`, which takes the name only in
// commit(), once every byte is on the disk: a patch is never left half written under its
// name, and whatever had the name stays until then. A writer that is never committed
// removes its file.
class PatchWriter {
public:
    // `entries` in rising index order, their sizes and checksums still to come (the
    // bytes are added in the same order). Fails with "Cannot create file PATH" and why.
    PatchWriter(const std::string& path, std::vector<PatchEntry> entries);
    PatchWriter(const PatchWriter&) = delete;
    PatchWriter& operator=(const PatchWriter&) = delete;
    ~PatchWriter();

    // Adds the next entry's bytes: `size` bytes of `source` at `position`, streamed.
    void addBytes(File& source, std::int64_t position, std::int64_t size);
    void commit();

private:
    std::string path_;
    std::string name_;
    std::string temporary_;
    std::unique_ptr<OutputFolder> folder_;
    File file_;
    std::vector<PatchEntry> entries_;
    std::size_t added_ = 0;
    std::int64_t end_ = 0;
    bool committed_ = false;
};

}  // namespace patch
}  // namespace xcr

#endif  // ARCHIVE_PATCH_PATCHWRITER_H
