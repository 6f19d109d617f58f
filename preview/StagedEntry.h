#ifndef PREVIEW_STAGEDENTRY_H
#define PREVIEW_STAGEDENTRY_H

#include <string>

#include "archive/format/EntryTable.h"

namespace xcr {

// A copy of one entry's bytes in a temporary file, deleted when the object goes (a failed
// delete is ignored: the next copy empties the file). Both files are opened without
// sharing and closed again before the constructor returns. A failure throws
// xcr::Failure after closing what was opened and deleting what was created.
class StagedEntry {
public:
    // Which file is opened first decides the message when both would fail.
    enum class Order { ArchiveFirst, TemporaryFirst };

    StagedEntry(const std::string& archivePath, EntryTable::Placement placement,
                std::string temporaryPath, Order order);
    ~StagedEntry();
    StagedEntry(const StagedEntry&) = delete;
    StagedEntry& operator=(const StagedEntry&) = delete;

    const std::string& path() const { return path_; }

private:
    std::string path_;
};

}  // namespace xcr

#endif  // PREVIEW_STAGEDENTRY_H
