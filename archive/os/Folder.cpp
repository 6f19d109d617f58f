#include "archive/os/Folder.h"

#include <dirent.h>
#include <fcntl.h>
#include <limits.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <memory>
#include <utility>

#include "archive/os/Failure.h"

namespace xcr {
inline namespace os {

Folder Folder::open(const std::string& path) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) {
        throw Failure(systemReason());
    }
    return Folder(fd);
}

Folder::Folder(Folder&& other) noexcept : fd_(std::exchange(other.fd_, -1)) {}

Folder& Folder::operator=(Folder&& other) noexcept {
    if (this != &other) {
        if (fd_ >= 0) {
            ::close(fd_);
        }
        fd_ = std::exchange(other.fd_, -1);
    }
    return *this;
}

Folder::~Folder() {
    if (fd_ >= 0) {
        ::close(fd_);
    }
}

Folder::Kind Folder::kindOf(const std::string& name) const {
    struct stat info {};
    if (::fstatat(fd_, name.c_str(), &info, AT_SYMLINK_NOFOLLOW) != 0) {
        return Kind::Missing;
    }
    return S_ISLNK(info.st_mode)   ? Kind::Link
           : S_ISREG(info.st_mode) ? Kind::Regular
           : S_ISDIR(info.st_mode) ? Kind::Folder
                                   : Kind::Other;
}

Folder Folder::child(const std::string& name) const {
    return Folder(::openat(fd_, name.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
}

File Folder::file(const std::string& name, std::string path) const {
    return File::openUnlockedIn(fd_, name, std::move(path));
}

std::vector<std::string> Folder::names() const {
    return namesIn(fd_);
}

std::vector<std::string> namesIn(int folderFd) {
    // The listing takes a descriptor of its own and closes it; the folder's stays.
    const int listed = ::dup(folderFd);
    const std::unique_ptr<DIR, int (*)(DIR*)> listing(listed >= 0 ? ::fdopendir(listed) : nullptr,
                                                      ::closedir);
    if (!listing) {
        const std::string reason = systemReason();
        if (listed >= 0) {
            ::close(listed);
        }
        throw Failure(reason);
    }
    std::vector<std::string> names;
    while (const dirent* item = ::readdir(listing.get())) {
        const std::string name = item->d_name;
        if (name != "." && name != "..") {
            names.push_back(name);
        }
    }
    std::sort(names.begin(), names.end());
    return names;
}

std::string fileBehindLink(const std::string& path) {
    struct stat info {};
    char resolved[PATH_MAX];
    if (::lstat(path.c_str(), &info) != 0 || !S_ISLNK(info.st_mode)) {
        return path;
    }
    if (::realpath(path.c_str(), resolved) == nullptr) {
        throw Failure(cannotOpenText(path, systemReason()));
    }
    return resolved;
}

std::vector<std::string> namesOrNone(int folderFd) {
    try {
        return namesIn(folderFd);
    } catch (const Failure&) {
        return {};
    }
}

}  // namespace os
}  // namespace xcr
