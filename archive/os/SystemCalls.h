#ifndef ARCHIVE_OS_SYSTEMCALLS_H
#define ARCHIVE_OS_SYSTEMCALLS_H

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/types.h>

namespace xcr {
inline namespace os {

// The system's file functions that a save, an undo and the recovery of a save cut off
// call, gathered in one place. The programs use the system's own; a test puts others in
// their place to make a call fail, to stop at a call as a crash would, or to keep only
// what a power cut would leave. Each behaves as the system function of its name.
class SystemCalls {
public:
    virtual ~SystemCalls() = default;

    virtual int openat(int folder, const char* name, int flags, mode_t mode);
    virtual int close(int fd);
    virtual ssize_t read(int fd, void* into, size_t size);
    virtual ssize_t pread(int fd, void* into, size_t size, off_t at);
    virtual ssize_t pwrite(int fd, const void* from, size_t size, off_t at);
    virtual ssize_t copyFileRange(int from, off_t* fromAt, int to, off_t* toAt, size_t size);
    virtual int ftruncate(int fd, off_t length);
    // Flushes a file or a folder.
    virtual int fsync(int fd);
    virtual int fstat(int fd, struct stat* info);
    virtual int renameat2(int fromFolder, const char* from, int toFolder, const char* to,
                          unsigned flags);
    virtual int unlinkat(int folder, const char* name, int flags);
    virtual int mkdirat(int folder, const char* name, mode_t mode);

    int open(const char* path, int flags, mode_t mode = 0) {
        return openat(AT_FDCWD, path, flags, mode);
    }
    int rename(const char* from, const char* to) {
        return renameat2(AT_FDCWD, from, AT_FDCWD, to, 0);
    }
    int mkdir(const char* path, mode_t mode) { return mkdirat(AT_FDCWD, path, mode); }
};

// The calls in use: the system's own unless others were put in their place.
SystemCalls& systemCalls();
// Puts `calls` in place of the ones in use (nullptr: the system's own) for every thread,
// and returns those it replaced. `calls` must outlive their use.
SystemCalls* useSystemCalls(SystemCalls* calls);

}  // namespace os
}  // namespace xcr

#endif  // ARCHIVE_OS_SYSTEMCALLS_H
