#ifndef PREVIEW_ENTRYSOURCE_H
#define PREVIEW_ENTRYSOURCE_H

#include <functional>
#include <string>

#include "archive/format/EntryTable.h"
#include "archive/os/StagingFolder.h"

namespace xcr {

// Where the previews find an entry's bytes: the current archive path (asked for at each
// use), the entry table and the staging folder for the temporary copies.
struct EntrySource {
    std::function<std::string()> archivePath;
    const EntryTable& entries;
    const StagingFolder& staging;
};

}  // namespace xcr

#endif  // PREVIEW_ENTRYSOURCE_H
