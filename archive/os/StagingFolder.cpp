#include "archive/os/StagingFolder.h"

#include <fcntl.h>
#include <stdio.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <utility>
#include <vector>

#include "archive/os/Failure.h"
#include "archive/os/Folder.h"

namespace xcr {
inline namespace os {

namespace {

// What mkdtemp puts in place of its six X's: letters and digits.
constexpr std::size_t kSuffixLength = 6;
// A fresh folder is lost only to a sweep of another start in the moment between its
// creation and its lock; a few tries are plenty.
constexpr int kAttempts = 3;

constexpr int kFolderFlags = O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC;

bool isStagingName(std::string_view name, std::string_view prefix) {
    if (name.size() != prefix.size() + kSuffixLength || name.substr(0, prefix.size()) != prefix) {
        return false;
    }
    // Not std::isalnum: the program's locale must not widen the pattern.
    return std::all_of(name.begin() + prefix.size(), name.end(), [](char c) {
        return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
    });
}

bool tryLock(int folder) {
    return ::flock(folder, LOCK_EX | LOCK_NB) == 0;
}

// Deletes what is in the folder, never following a link; unlink refuses folders, so
// subfolders and their contents stay.
void unlinkFilesIn(int folder) {
    for (const std::string& name : namesOrNone(folder)) {
        ::unlinkat(folder, name.c_str(), 0);
    }
}

// Deletes everything in the folder, subfolders too, never following a link. Stops going
// deeper than any folder of this program's ever goes.
void removeContents(int folder, int depth) {
    constexpr int kDeepest = 16;
    for (const std::string& name : namesOrNone(folder)) {
        if (::unlinkat(folder, name.c_str(), 0) == 0 || depth >= kDeepest) {
            continue;
        }
        const int sub = ::openat(folder, name.c_str(), kFolderFlags);
        if (sub >= 0) {
            removeContents(sub, depth + 1);
            ::close(sub);
            ::unlinkat(folder, name.c_str(), AT_REMOVEDIR);
        }
    }
}

// Whether `path` still names the folder open as `folder`.
bool stillAt(int folder, const std::string& path) {
    struct stat open {};
    struct stat named {};
    return ::fstat(folder, &open) == 0 && ::lstat(path.c_str(), &named) == 0 &&
           open.st_dev == named.st_dev && open.st_ino == named.st_ino;
}

}  // namespace

std::string systemTempFolder() {
    const char* fromEnvironment = std::getenv("TMPDIR");
    std::string folder = fromEnvironment && *fromEnvironment ? fromEnvironment : "/tmp";
    if (folder.size() > 1 && folder.back() == '/') {
        folder.pop_back();
    }
    return folder;
}

StagingFolder StagingFolder::create() {
    return createIn(systemTempFolder());
}

StagingFolder StagingFolder::createIn(const std::string& parent, std::string_view prefix) {
    sweepStale(parent, prefix);
    for (int attempt = 0; attempt < kAttempts; ++attempt) {
        std::string path = parent + "/" + std::string(prefix) + "XXXXXX";
        if (::mkdtemp(path.data()) == nullptr) {
            break;
        }
        const int lock = ::open(path.c_str(), kFolderFlags);
        if (lock >= 0 && tryLock(lock) && stillAt(lock, path)) {
            return StagingFolder(std::move(path), parent, lock);
        }
        if (lock >= 0) {
            ::close(lock);
        }
    }
    return StagingFolder(std::string(), parent, -1);
}

void StagingFolder::sweepStale(const std::string& parent, std::string_view prefix) {
    const int parentFolder = ::open(parent.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (parentFolder < 0) {
        return;
    }
    for (const std::string& name : namesOrNone(parentFolder)) {
        if (!isStagingName(name, prefix)) {
            continue;
        }
        // Never through a link, and only our own: another user's folder of that name is
        // none of ours to empty.
        const int folder = ::openat(parentFolder, name.c_str(), kFolderFlags);
        if (folder < 0) {
            continue;
        }
        struct stat info {};
        if (::fstat(folder, &info) == 0 && info.st_uid == ::geteuid() && tryLock(folder)) {
            removeContents(folder, 0);
            ::unlinkat(parentFolder, name.c_str(), AT_REMOVEDIR);
        }
        ::close(folder);
    }
    ::close(parentFolder);
}

StagingFolder::StagingFolder(StagingFolder&& other) noexcept
    : path_(std::exchange(other.path_, {})),
      parent_(std::move(other.parent_)),
      lock_(std::exchange(other.lock_, -1)) {}

StagingFolder& StagingFolder::operator=(StagingFolder&& other) noexcept {
    if (this != &other) {
        if (lock_ >= 0) {
            ::close(lock_);
        }
        path_ = std::exchange(other.path_, {});
        parent_ = std::move(other.parent_);
        lock_ = std::exchange(other.lock_, -1);
    }
    return *this;
}

StagingFolder::~StagingFolder() {
    if (lock_ >= 0) {
        ::close(lock_);
    }
}

std::string StagingFolder::fileInside(std::string_view name) const {
    if (!hasPath()) {
        throw Failure(noStagingFolderText(parent_));
    }
    return path_ + "/" + std::string(name);
}

void StagingFolder::removeFiles() const {
    if (!hasPath()) {
        return;
    }
    const int folder = ::open(path_.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (folder < 0) {
        return;
    }
    unlinkFilesIn(folder);
    ::close(folder);
}

void StagingFolder::removeIfEmpty() const {
    if (hasPath()) {
        ::rmdir(path_.c_str());
    }
}

}  // namespace os
}  // namespace xcr
