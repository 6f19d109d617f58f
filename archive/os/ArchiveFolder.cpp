#include "archive/os/ArchiveFolder.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <utility>

#include "archive/os/Failure.h"
#include "archive/os/Folder.h"
#include "archive/os/SystemCalls.h"

namespace xcr {
inline namespace os {

ArchiveFolder ArchiveFolder::open(const std::string& folderPath, const std::string& archivePath) {
    // Read access lets the folder be flushed; a folder that may only be passed through is
    // still held, and a save in it then fails at its first flush, before it writes.
    SystemCalls& os = systemCalls();
    int fd = os.open(folderPath.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0 && errno == EACCES) {
        fd = os.open(folderPath.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC);
    }
    if (fd < 0) {
        throw Failure(cannotOpenText(archivePath, systemReason()));
    }
    return ArchiveFolder(fd, folderPath);
}

ArchiveFolder::ArchiveFolder(ArchiveFolder&& other) noexcept
    : fd_(std::exchange(other.fd_, -1)), path_(std::move(other.path_)) {}

ArchiveFolder& ArchiveFolder::operator=(ArchiveFolder&& other) noexcept {
    if (this != &other) {
        if (fd_ >= 0) {
            ::close(fd_);
        }
        fd_ = std::exchange(other.fd_, -1);
        path_ = std::move(other.path_);
    }
    return *this;
}

ArchiveFolder::~ArchiveFolder() {
    if (fd_ >= 0) {
        ::close(fd_);
    }
}

std::string ArchiveFolder::pathOf(const std::string& name) const {
    if (path_ == ".") {
        return name;  // a name given without a folder is shown so
    }
    return path_ == "/" ? "/" + name : path_ + "/" + name;
}

FileIdentity ArchiveFolder::identity() const {
    struct stat info {};
    ::fstat(fd_, &info);
    return FileIdentity::of(info);
}

std::optional<struct stat> ArchiveFolder::entry(const std::string& name) const {
    struct stat info {};
    if (::fstatat(fd_, name.c_str(), &info, AT_SYMLINK_NOFOLLOW) != 0) {
        return std::nullopt;
    }
    return info;
}

std::vector<std::string> ArchiveFolder::names() const {
    return namesIn(fd_);
}

File ArchiveFolder::openForReading(const std::string& name) const {
    return File::openUnlockedIn(fd_, name, pathOf(name));
}

File ArchiveFolder::createPrivate(const std::string& name) const {
    return File::createPrivate(fd_, name, pathOf(name));
}

void ArchiveFolder::remove(const std::string& name) const {
    if (systemCalls().unlinkat(fd_, name.c_str(), 0) == 0 || errno == ENOENT) {
        return;
    }
    throw Failure("Cannot delete file " + pathOf(name) + ": " + systemReason());
}

std::string ArchiveFolder::setAside(const std::string& name) const {
    for (int attempt = 1; attempt < 1000; ++attempt) {
        const std::string aside =
            name + ".set-aside" + (attempt == 1 ? "" : "-" + std::to_string(attempt));
        if (systemCalls().renameat2(fd_, name.c_str(), fd_, aside.c_str(), RENAME_NOREPLACE) == 0) {
            return aside;
        }
        if (errno != EEXIST) {
            break;
        }
    }
    throw Failure("Cannot rename file " + pathOf(name) + ": " + systemReason());
}

void ArchiveFolder::sync() const {
    if (systemCalls().fsync(fd_) != 0) {
        throw Failure(cannotWriteText(path_, systemReason()));
    }
}

}  // namespace os
}  // namespace xcr
