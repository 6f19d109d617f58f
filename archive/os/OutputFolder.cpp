#include "archive/os/OutputFolder.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>

#include "archive/os/Failure.h"
#include "archive/os/SystemCalls.h"

namespace xcr {
inline namespace os {

OutputFolder::OutputFolder(std::string path) : path_(std::move(path)) {
    // A path handle needs no right to list the folder, only to pass through it, as
    // creating files there by its path did.
    fd_ = systemCalls().open(path_.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC);
}

std::unique_ptr<OutputFolder> OutputFolder::subfolder(const std::string& name,
                                                      std::string path) const {
    // A link of that name, to a folder or not, fails the opening with ENOTDIR.
    if ((::mkdirat(fd_, name.c_str(), 0777) != 0 && errno != EEXIST)) {
        throw Failure("Cannot create folder " + path + ": " + systemReason());
    }
    const int fd = ::openat(fd_, name.c_str(), O_PATH | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0) {
        throw Failure("Cannot create folder " + path + ": " + systemReason());
    }
    std::unique_ptr<OutputFolder> folder(new OutputFolder(fd, std::move(path)));
    folder->kept_ = kept_;
    return folder;
}

OutputFolder::~OutputFolder() {
    if (fd_ >= 0) {
        ::close(fd_);
    }
}

void OutputFolder::rename(const std::string& from, const std::string& to,
                          const std::string& pathForTexts) const {
    if (kept_) {
        struct stat folder {};
        struct stat there {};
        const bool taken = ::fstatat(fd_, to.c_str(), &there, AT_SYMLINK_NOFOLLOW) == 0;
        if (::fstat(fd_, &folder) != 0 ||
            kept_(FileIdentity::of(folder), to, taken ? &there : nullptr)) {
            throw Failure(cannotCreateText(
                pathForTexts, "it would take the place of the archive being read or its journal"));
        }
    }
    if (systemCalls().renameat2(fd_, from.c_str(), fd_, to.c_str(), 0) != 0) {
        throw Failure(cannotCreateText(pathForTexts, systemReason()));
    }
}

void OutputFolder::remove(const std::string& name) const {
    static_cast<void>(::unlinkat(fd_, name.c_str(), 0));
}

}  // namespace os
}  // namespace xcr
