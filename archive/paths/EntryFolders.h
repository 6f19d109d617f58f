#ifndef ARCHIVE_PATHS_ENTRYFOLDERS_H
#define ARCHIVE_PATHS_ENTRYFOLDERS_H

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "archive/os/OutputFolder.h"

namespace xcr {
inline namespace paths {

// The folders inside an extraction folder that entries are written to under their stored
// names' folder parts (see entryFolderParts). Each part is made when missing and opened
// relative to the one before, never through a link, so no entry lands outside the
// extraction folder whatever its name or the links found there. The last folder stays
// open for the next entry, which usually lies in the same one.
class EntryFolders {
public:
    explicit EntryFolders(const OutputFolder& root) : root_(root) {}

    // The folder for the entry stored as `storedName`. Fails with "Cannot create folder
    // %s" and the system's reason when a part cannot be made or is no folder (a file or a
    // link of that name).
    const OutputFolder& folderFor(std::string_view storedName);
    // The same for folder parts given as they are (each already a name that stays inside
    // the folder it lies in).
    const OutputFolder& folderFor(std::vector<std::string> parts);

private:
    const OutputFolder& root_;
    std::vector<std::string> parts_;
    std::unique_ptr<OutputFolder> folder_;
};

}  // namespace paths
}  // namespace xcr

#endif  // ARCHIVE_PATHS_ENTRYFOLDERS_H
