#include "archive/os/SystemCalls.h"

#include <stdio.h>
#include <unistd.h>

#include <atomic>

namespace xcr {
inline namespace os {

namespace {
SystemCalls systemOwn;
std::atomic<SystemCalls*> inUse{&systemOwn};
}  // namespace

SystemCalls& systemCalls() {
    return *inUse.load(std::memory_order_acquire);
}

SystemCalls* useSystemCalls(SystemCalls* calls) {
    SystemCalls* replaced = inUse.exchange(calls != nullptr ? calls : &systemOwn);
    return replaced == &systemOwn ? nullptr : replaced;
}

int SystemCalls::openat(int folder, const char* name, int flags, mode_t mode) {
    return ::openat(folder, name, flags, mode);
}

int SystemCalls::close(int fd) {
    return ::close(fd);
}

ssize_t SystemCalls::read(int fd, void* into, size_t size) {
    return ::read(fd, into, size);
}

ssize_t SystemCalls::pread(int fd, void* into, size_t size, off_t at) {
    return ::pread(fd, into, size, at);
}

ssize_t SystemCalls::pwrite(int fd, const void* from, size_t size, off_t at) {
    return ::pwrite(fd, from, size, at);
}

ssize_t SystemCalls::copyFileRange(int from, off_t* fromAt, int to, off_t* toAt, size_t size) {
    return ::copy_file_range(from, fromAt, to, toAt, size, 0);
}

int SystemCalls::ftruncate(int fd, off_t length) {
    return ::ftruncate(fd, length);
}

int SystemCalls::fsync(int fd) {
    return ::fsync(fd);
}

int SystemCalls::fstat(int fd, struct stat* info) {
    return ::fstat(fd, info);
}

int SystemCalls::renameat2(int fromFolder, const char* from, int toFolder, const char* to,
                           unsigned flags) {
    return ::renameat2(fromFolder, from, toFolder, to, flags);
}

int SystemCalls::unlinkat(int folder, const char* name, int flags) {
    return ::unlinkat(folder, name, flags);
}

int SystemCalls::mkdirat(int folder, const char* name, mode_t mode) {
    return ::mkdirat(folder, name, mode);
}

}  // namespace os
}  // namespace xcr
