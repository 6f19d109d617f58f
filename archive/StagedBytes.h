#ifndef ARCHIVE_STAGEDBYTES_H
#define ARCHIVE_STAGEDBYTES_H

#include <cstdint>
#include <string>

#include "archive/File.h"

namespace xcr {

// The save's copy of the archive bytes it is about to overwrite, kept back to back in one
// file of the staging folder. One file rather than one per entry: creating, reopening and
// deleting thousands of small files would cost more than copying the data itself, and no
// entry's name is ever used, so equal, empty or refused names cannot collide or fail.
class StagedBytes {
public:
    // Creates the file at `path`, or empties one left from an earlier run.
    void create(const std::string& path);
    // Appends `size` bytes at `offset` of `source`; returns where they are kept.
    std::int64_t keep(File& source, std::int64_t offset, std::int64_t size);
    // Copies `size` kept bytes starting at `at` to target's current position.
    void copyBack(std::int64_t at, std::int64_t size, File& target);
    // Closes the file; it stays on disk until the staging folder is emptied.
    void close() { file_.close(); }

private:
    File file_;
    std::int64_t end_ = 0;
};

}  // namespace xcr

#endif  // ARCHIVE_STAGEDBYTES_H
