#include "tests/support/FileFaults.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <csignal>
#include <mutex>

#include "archive/os/SystemCalls.h"

namespace xcr {

namespace {

std::mutex faultsMutex;
std::vector<std::uint64_t> failingCalls;
std::vector<std::string> calledSoFar;
std::atomic<int> failingError{0};
std::atomic<std::uint64_t> callCount{0};
std::atomic<std::uint64_t> killAt{0};
std::uint64_t actionAt = 0;
std::function<void()> action;

// Every call numbered first; a failing one sets errno and gives -1.
class FaultyCalls : public SystemCalls {
public:
    int openat(int folder, const char* name, int flags, mode_t mode) override {
        return failsNow() ? fail() : SystemCalls::openat(folder, name, flags, mode);
    }
    int close(int fd) override {
        // The descriptor goes all the same, as after a real failure.
        const bool failing = failsNow();
        const int closed = SystemCalls::close(fd);
        return failing ? fail() : closed;
    }
    ssize_t read(int fd, void* into, size_t size) override {
        return failsNow() ? fail() : SystemCalls::read(fd, into, size);
    }
    ssize_t pread(int fd, void* into, size_t size, off_t at) override {
        return failsNow() ? fail() : SystemCalls::pread(fd, into, size, at);
    }
    ssize_t pwrite(int fd, const void* from, size_t size, off_t at) override {
        if (!failsNow()) {
            return SystemCalls::pwrite(fd, from, size, at);
        }
        static_cast<void>(SystemCalls::pwrite(fd, from, size / 2, at));
        return fail(ENOSPC);
    }
    ssize_t copyFileRange(int from, off_t* fromAt, int to, off_t* toAt, size_t size) override {
        if (!failsNow()) {
            return SystemCalls::copyFileRange(from, fromAt, to, toAt, size);
        }
        static_cast<void>(SystemCalls::copyFileRange(from, fromAt, to, toAt, size / 2));
        return fail(ENOSPC);
    }
    int ftruncate(int fd, off_t length) override {
        return failsNow() ? fail(ENOSPC) : SystemCalls::ftruncate(fd, length);
    }
    int fsync(int fd) override { return failsNow() ? fail() : SystemCalls::fsync(fd); }
    int fstat(int fd, struct stat* info) override {
        return failsNow() ? fail() : SystemCalls::fstat(fd, info);
    }
    int renameat2(int fromFolder, const char* from, int toFolder, const char* to,
                  unsigned flags) override {
        return failsNow() ? fail() : SystemCalls::renameat2(fromFolder, from, toFolder, to, flags);
    }
    int unlinkat(int folder, const char* name, int flags) override {
        return failsNow() ? fail() : SystemCalls::unlinkat(folder, name, flags);
    }
    int mkdirat(int folder, const char* name, mode_t mode) override {
        return failsNow() ? fail() : SystemCalls::mkdirat(folder, name, mode);
    }

private:
    static int fail(int usual = EIO) {
        const int armed = failingError.load();
        errno = armed != 0 ? armed : usual;
        return -1;
    }

    // Numbers the call, kills or acts before it where armed to, and says whether it fails.
    static bool failsNow(const char* name = __builtin_FUNCTION()) {
        const std::uint64_t number = callCount.fetch_add(1) + 1;
        if (number == killAt.load()) {
            ::raise(SIGKILL);
        }
        std::function<void()> now;
        bool failing = false;
        {
            std::lock_guard lock(faultsMutex);
            calledSoFar.emplace_back(name);
            if (number == actionAt) {
                now = std::move(action);
            }
            failing =
                std::find(failingCalls.begin(), failingCalls.end(), number) != failingCalls.end();
        }
        if (now) {
            now();
        }
        return failing;
    }
};

FaultyCalls faultyCalls;

}  // namespace

void FileFaults::arm(std::vector<std::uint64_t> failing, int error) {
    std::lock_guard lock(faultsMutex);
    failingCalls = std::move(failing);
    calledSoFar.clear();
    failingError = error;
    callCount.store(0);
    killAt.store(0);
    actionAt = 0;
    action = nullptr;
    useSystemCalls(&faultyCalls);
}

void FileFaults::armKill(std::uint64_t call) {
    arm({});
    killAt.store(call);
}

void FileFaults::armAction(std::uint64_t call, std::function<void()> work) {
    arm({});
    std::lock_guard lock(faultsMutex);
    actionAt = call;
    action = std::move(work);
}

void FileFaults::disarm() {
    std::lock_guard lock(faultsMutex);
    useSystemCalls(nullptr);
    killAt.store(0);
    actionAt = 0;
    action = nullptr;
    failingCalls.clear();
}

std::uint64_t FileFaults::counted() {
    return callCount.load();
}

std::vector<std::string> FileFaults::called() {
    std::lock_guard lock(faultsMutex);
    return calledSoFar;
}

}  // namespace xcr
