#include "archive/os/File.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/vfs.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <utility>

#include "archive/os/Failure.h"
#include "archive/os/KernelCopy.h"
#include "archive/os/SystemCalls.h"

namespace xcr {
inline namespace os {

namespace {

int openFlags(File::Access access) {
    // O_NONBLOCK keeps a FIFO from hanging the open; it is cleared once the file is known
    // to be a regular one.
    const int common = O_CLOEXEC | O_NONBLOCK;
    switch (access) {
        case File::Access::Read:
            return O_RDONLY | common;
        case File::Access::Write:
            return O_WRONLY | common;
        case File::Access::ReadWrite:
            return O_RDWR | common;
        case File::Access::Create:
            return O_RDWR | O_CREAT | common;
    }
    return O_RDONLY | common;
}

std::string failureText(File::Access access, const std::string& path, const std::string& reason) {
    return access == File::Access::Create ? cannotCreateText(path, reason)
                                          : cannotOpenText(path, reason);
}

// The file that could not be written and the reason the system gave; `full` for a write
// that took nothing in.
Failure writeError(const std::string& path, bool full = false) {
    if (full) {
        errno = ENOSPC;
    }
    return Failure(cannotWriteText(path, systemReason()));
}

// The kernel moves or shares whole pages only where the data lies at the same place
// within a page on both sides. Elsewhere it cuts every page in two, which costs more
// than copying through a buffer: entries rarely start on a page boundary.
constexpr off_t kPageSize = 4096;

bool kernelCopyPays(off_t source, off_t target) {
    const KernelCopy where = kernelCopy();
    return where == KernelCopy::WhereverPossible ||
           (where == KernelCopy::WhereFaster && source >= 0 && target >= 0 &&
            (source - target) % kPageSize == 0);
}

// Reads until `size` bytes are in or the file ends; `step(into, count, done)` makes one
// system call. Fails with "Stream read error".
template <typename Step>
std::size_t readFully(void* buffer, std::size_t size, Step step) {
    auto* bytes = static_cast<unsigned char*>(buffer);
    std::size_t done = 0;
    while (done < size) {
        const ssize_t got = step(bytes + done, size - done, done);
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got < 0) {
            throw Failure(kStreamReadError);
        }
        if (got == 0) {
            break;
        }
        done += static_cast<std::size_t>(got);
    }
    return done;
}

// Writes all `size` bytes to the file at `path`, or fails naming it.
template <typename Step>
void writeFully(const std::string& path, const void* buffer, std::size_t size, Step step) {
    const auto* bytes = static_cast<const unsigned char*>(buffer);
    std::size_t done = 0;
    while (done < size) {
        const ssize_t put = step(bytes + done, size - done, done);
        if (put < 0 && errno == EINTR) {
            continue;
        }
        if (put <= 0) {
            // A write that takes nothing in has met a full disk.
            throw writeError(path, put == 0);
        }
        done += static_cast<std::size_t>(put);
    }
}

void lockOrThrow(int fd, File::Access access, const std::string& path, std::string_view kind) {
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        throw Failure(failureText(access, path,
                                  errno == EWOULDBLOCK
                                      ? "the " + std::string(kind) + " is in use by another program"
                                      : systemReason()));
    }
}

}  // namespace

File File::open(const std::string& path, Access access, std::string_view kind) {
    SystemCalls& os = systemCalls();
    const int fd = os.open(path.c_str(), openFlags(access), 0666);
    if (fd < 0) {
        throw Failure(failureText(access, path, systemReason()));
    }
    File file(fd, path);
    struct stat info {};
    if (os.fstat(fd, &info) != 0 ||
        (S_ISREG(info.st_mode) && ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK) != 0)) {
        throw Failure(failureText(access, path, systemReason()));
    }
    if (!S_ISREG(info.st_mode)) {
        throw Failure(failureText(access, path, "not a regular file"));
    }
    // A file made afresh is held like an archive, and emptied only once it is: a file held
    // elsewhere (an archive, or a preview's copy at a name every copy of the program uses)
    // is never cut. A file that is empty already is left alone: some file systems write a
    // file out at close once it was cut to nothing, which would slow every fresh file down.
    if (access == Access::Create) {
        lockOrThrow(fd, access, path, kind);
        if (info.st_size > 0 && os.ftruncate(fd, 0) != 0) {
            throw Failure(failureText(access, path, systemReason()));
        }
    }
    return file;
}

void File::lockExclusively(std::string_view kind) {
    lockOrThrow(fd_, Access::Read, path_, kind);
}

File File::createNew(int folderFd, const std::string& name, std::string path) {
    const int fd = systemCalls().openat(folderFd, name.c_str(),
                                        O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
    if (fd < 0) {
        throw Failure(cannotCreateText(path, systemReason()));
    }
    return File(fd, std::move(path));
}

File File::createPrivate(int folderFd, const std::string& name, std::string path) {
    const int fd = systemCalls().openat(folderFd, name.c_str(),
                                        O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
    if (fd < 0) {
        throw Failure(cannotCreateText(path, systemReason()));
    }
    return File(fd, std::move(path));
}

File File::openUnlockedIn(int folderFd, const std::string& name, std::string path) {
    SystemCalls& os = systemCalls();
    const int fd =
        os.openat(folderFd, name.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC, 0);
    if (fd < 0) {
        throw Failure(cannotOpenText(path, systemReason()));
    }
    File file(fd, std::move(path));
    struct stat info {};
    if (os.fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        throw Failure(cannotOpenText(file.path_, "not a regular file"));
    }
    return file;
}

File File::reopenForWriting() const {
    SystemCalls& os = systemCalls();
    const int fd = os.open(path_.c_str(), O_RDWR | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) {
        throw Failure(cannotOpenText(path_, systemReason()));
    }
    File writer(fd, path_);
    struct stat theirs {};
    // The name must still lead to the file this handle holds, not one put in its place.
    if (os.fstat(fd, &theirs) != 0 || !sameFileAs(theirs) ||
        ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK) != 0) {
        throw Failure(cannotOpenText(path_, "its name now leads to another file"));
    }
    return writer;
}

bool File::sameFileAs(const struct stat& info) const {
    struct stat mine {};
    return systemCalls().fstat(fd_, &mine) == 0 && mine.st_dev == info.st_dev &&
           mine.st_ino == info.st_ino;
}

File::File(File&& other) noexcept
    : fd_(std::exchange(other.fd_, -1)),
      path_(std::move(other.path_)),
      writeBackFrom_(other.writeBackFrom_),
      writeBackTo_(other.writeBackTo_) {}

File& File::operator=(File&& other) noexcept {
    if (this != &other) {
        close();
        fd_ = std::exchange(other.fd_, -1);
        path_ = std::move(other.path_);
        writeBackFrom_ = other.writeBackFrom_;
        writeBackTo_ = other.writeBackTo_;
    }
    return *this;
}

File::~File() {
    close();
}

struct stat File::status() const {
    struct stat info {};
    if (systemCalls().fstat(fd_, &info) != 0) {
        throw Failure(kStreamReadError);
    }
    return info;
}

bool File::madeUpBySystem() const {
    constexpr long kProcFileSystem = 0x9fa0;
    constexpr long kSysFileSystem = 0x62656572;
    struct statfs where {};
    return ::fstatfs(fd_, &where) == 0 &&
           (where.f_type == kProcFileSystem || where.f_type == kSysFileSystem);
}

std::int64_t File::birthStamp() const {
    struct statx info {};
    if (::statx(fd_, "", AT_EMPTY_PATH, STATX_BTIME, &info) != 0 ||
        (info.stx_mask & STATX_BTIME) == 0) {
        return 0;
    }
    return std::int64_t{info.stx_btime.tv_sec} * 1000000000 + info.stx_btime.tv_nsec;
}

std::int64_t File::length() const {
    return status().st_size;
}

void File::readExact(void* buffer, std::size_t size) {
    if (readFully(buffer, size, [this](void* into, std::size_t count, std::size_t) {
            return systemCalls().read(fd_, into, count);
        }) != size) {
        throw Failure(kStreamReadError);
    }
}

std::size_t File::readAt(std::int64_t position, void* buffer, std::size_t size) {
    if (position < 0) {
        throw Failure(kStreamReadError);
    }
    return readFully(buffer, size, [&](void* into, std::size_t count, std::size_t done) {
        return systemCalls().pread(fd_, into, count,
                                   static_cast<off_t>(position + static_cast<std::int64_t>(done)));
    });
}

std::size_t File::readMaybeSparse(std::int64_t position, void* buffer, std::size_t size) {
    if (position < 0) {
        throw Failure(kStreamReadError);
    }
    const std::int64_t end = position + static_cast<std::int64_t>(size);
    const off_t data = ::lseek(fd_, position, SEEK_DATA);
    struct stat info {};
    if ((data >= end || (data < 0 && errno == ENXIO)) && systemCalls().fstat(fd_, &info) == 0) {
        const std::int64_t zeros =
            std::max<std::int64_t>(0, std::min<std::int64_t>(end, info.st_size) - position);
        std::memset(buffer, 0, static_cast<std::size_t>(zeros));
        return static_cast<std::size_t>(zeros);
    }
    return readAt(position, buffer, size);
}

void File::writeAt(std::int64_t position, const void* buffer, std::size_t size) {
    if (position < 0) {
        throw Failure(cannotWriteText(path_, "no file has a negative position"));
    }
    writeFully(path_, buffer, size, [&](const void* from, std::size_t count, std::size_t done) {
        return systemCalls().pwrite(fd_, from, count,
                                    static_cast<off_t>(position + static_cast<std::int64_t>(done)));
    });
}

std::int64_t File::copyRangeTo(File& target, std::int64_t from, std::int64_t to, std::size_t size) {
    if (!kernelCopyPays(from, to)) {
        return -1;
    }
    off_t in = from;
    off_t out = to;
    for (;;) {
        const ssize_t copied = systemCalls().copyFileRange(fd_, &in, target.fd_, &out, size);
        if (copied < 0 && errno == EINTR) {
            continue;
        }
        return copied < 0 ? -1 : copied;
    }
}

void File::truncate(std::int64_t length) {
    if (systemCalls().ftruncate(fd_, length) != 0) {
        throw writeError(path_);
    }
}

void File::startWriteBack(std::int64_t position, std::int64_t size) {
    constexpr std::int64_t kWriteBackRun = std::int64_t{8} << 20;
    const auto handOver = [this] {
        if (writeBackTo_ > writeBackFrom_) {
            static_cast<void>(::sync_file_range(fd_, writeBackFrom_, writeBackTo_ - writeBackFrom_,
                                                SYNC_FILE_RANGE_WRITE));
        }
        writeBackFrom_ = writeBackTo_;
    };
    if (position != writeBackTo_) {
        handOver();
        writeBackFrom_ = position;
    }
    writeBackTo_ = position + size;
    if (writeBackTo_ - writeBackFrom_ >= kWriteBackRun) {
        handOver();
    }
}

void File::sync() {
    if (systemCalls().fsync(fd_) != 0) {
        throw writeError(path_);
    }
}

void File::closeWritten() {
    // The descriptor is gone after close() even when it reports a failure; EINTR does
    // not mean the bytes were lost.
    const int closed = systemCalls().close(std::exchange(fd_, -1));
    if (closed != 0 && errno != EINTR) {
        throw writeError(path_);
    }
}

void File::close() {
    if (fd_ >= 0) {
        ::close(fd_);  // closing also drops the lock
        fd_ = -1;
    }
}

}  // namespace os
}  // namespace xcr
