#ifndef ARCHIVE_JOBS_REPLACEMENT_H
#define ARCHIVE_JOBS_REPLACEMENT_H

#include <string>
#include <utility>

#include "archive/os/FileIdentity.h"

namespace xcr {
inline namespace jobs {

// An entry to be replaced by a file from disk.
struct Replacement {
    Replacement() = default;
    Replacement(int index, std::string path, FileIdentity source = {})
        : index(index), path(std::move(path)), source(source) {}

    int index = 0;
    std::string path;
    // The file `path` led to when it was chosen; a save reads only that file. Empty when
    // it could not be told then (the save then opens whatever the name leads to).
    FileIdentity source;

    bool operator==(const Replacement&) const = default;
};

}  // namespace jobs
}  // namespace xcr

#endif  // ARCHIVE_JOBS_REPLACEMENT_H
