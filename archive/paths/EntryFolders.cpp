#include "archive/paths/EntryFolders.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "archive/os/Failure.h"
#include "archive/paths/EntryFolderParts.h"

namespace xcr {
inline namespace paths {

namespace {

// Opens the folder `name` inside `parentFd`, making it first when it is missing.
int openOrMake(int parentFd, const std::string& name) {
    if (::mkdirat(parentFd, name.c_str(), 0777) != 0 && errno != EEXIST) {
        return -1;
    }
    // A link of that name, to a folder or not, fails here with ENOTDIR.
    return ::openat(parentFd, name.c_str(), O_PATH | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
}

}  // namespace

const OutputFolder& EntryFolders::folderFor(std::string_view storedName) {
    std::vector<std::string> parts = entryFolderParts(storedName);
    if (parts.empty() || !root_.isOpen()) {
        return root_;
    }
    if (folder_ && parts == parts_) {
        return *folder_;
    }
    folder_.reset();
    std::string path = root_.path();
    std::unique_ptr<OutputFolder> folder;
    int parentFd = root_.fd();
    for (const std::string& part : parts) {
        path += "/" + part;
        const int fd = openOrMake(parentFd, part);
        if (fd < 0) {
            throw Failure("Cannot create folder " + path + ": " + systemReason());
        }
        // The folder before is closed as this one takes its place.
        folder = std::make_unique<OutputFolder>(fd, path);
        folder->keepAway(root_.keptNames());
        parentFd = fd;
    }
    parts_ = std::move(parts);
    folder_ = std::move(folder);
    return *folder_;
}

}  // namespace paths
}  // namespace xcr
