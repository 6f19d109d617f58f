#ifndef ARCHIVE_FILEFAULTS_H
#define ARCHIVE_FILEFAULTS_H

#include <atomic>
#include <cstdint>
#include <functional>
#include <vector>

namespace xcr {

// A test seam in the file layer: once armed, every call of any File that can fail (open,
// read, write, copy, seek, flush, length, truncate, delete) is numbered from 1; the calls
// whose numbers were given fail as the real call would (a write after writing part of its
// buffer), or the process is killed there, or an action runs there.
// Unarmed, each call costs one relaxed atomic load. Safe to use from several threads.
class FileFaults {
public:
    // Starts numbering calls; the calls numbered in `failing` fail. An empty list only
    // counts.
    static void arm(std::vector<std::uint64_t> failing);
    // Starts numbering calls; the process kills itself with SIGKILL just before call
    // `call`, as a crash or a power cut would stop it there.
    static void armKill(std::uint64_t call);
    // Starts numbering calls; `action` runs on the calling thread just before call
    // `call`, as if something happened on the machine at that moment (it may block).
    static void armAction(std::uint64_t call, std::function<void()> action);
    static void disarm();
    // Calls numbered since the last arm().
    static std::uint64_t counted();

    // Makes every copy go through the buffer instead of the kernel, as between file
    // systems the kernel cannot copy across.
    static void allowKernelCopy(bool allowed) { kernelCopy_.store(allowed); }
    static bool kernelCopyAllowed() { return kernelCopy_.load(std::memory_order_relaxed); }

    // Asked by File before each call: true when this call must fail.
    static bool failNow() { return armed_.load(std::memory_order_relaxed) && countAndDecide(); }

private:
    static bool countAndDecide();

    static std::atomic<bool> armed_;
    static std::atomic<std::uint64_t> killAt_;
    static std::atomic<bool> kernelCopy_;
};

}  // namespace xcr

#endif  // ARCHIVE_FILEFAULTS_H
