#ifndef TESTS_PREVIEW_PREVIEWARCHIVE_H
#define TESTS_PREVIEW_PREVIEWARCHIVE_H

#include <string>
#include <vector>

#include "archive/format/EntryTable.h"
#include "archive/os/StagingFolder.h"
#include "preview/EntrySource.h"
#include "tests/support/XcrBuilder.h"

namespace xcr::test {

// An archive written to disk, its entry table and an empty staging folder.
class PreviewArchive {
public:
    explicit PreviewArchive(const XcrBuilder& builder);

    EntrySource source();
    const std::string& archivePath() const { return archivePath_; }
    // The names of the files in the staging folder.
    std::vector<std::string> stagedFiles() const;
    // Gives entry `index` another place in the table, as a broken archive would.
    void setPlacement(int index, EntryTable::Placement placement);

    TempDir dir;
    EntryTable entries;
    StagingFolder staging;

private:
    std::string archivePath_;
};

}  // namespace xcr::test

#endif  // TESTS_PREVIEW_PREVIEWARCHIVE_H
