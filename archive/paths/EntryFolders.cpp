#include "archive/paths/EntryFolders.h"

#include "archive/paths/EntryFolderParts.h"

namespace xcr {
inline namespace paths {

const OutputFolder& EntryFolders::folderFor(std::string_view storedName) {
    return folderFor(entryFolderParts(storedName));
}

const OutputFolder& EntryFolders::folderFor(std::vector<std::string> parts) {
    if (parts.empty() || !root_.isOpen()) {
        return root_;
    }
    if (folder_ && parts == parts_) {
        return *folder_;
    }
    folder_.reset();
    std::string path = root_.path();
    std::unique_ptr<OutputFolder> folder;
    for (const std::string& part : parts) {
        path += "/" + part;
        // The folder before is closed as this one takes its place.
        folder = (folder ? *folder : root_).subfolder(part, path);
    }
    parts_ = std::move(parts);
    folder_ = std::move(folder);
    return *folder_;
}

}  // namespace paths
}  // namespace xcr
