#ifndef ARCHIVE_FILEFAULTS_H
#define ARCHIVE_FILEFAULTS_H

#include <atomic>
#include <cstdint>
#include <functional>
#include <vector>

namespace xcr {

// A test seam in the file layer: once armed, every call of any File that can fail (open,
// create, read, write, copy, flush, length, truncate, checked close, delete), and
// every opening of and rename in an OutputFolder, is numbered from 1; the calls whose
// numbers were given fail as the real call would (a write after writing part of its
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

    // Where the kernel copies: where that is faster than the buffer (the default), wherever
    // it can, or nowhere, as between file systems the kernel cannot copy across.
    enum class KernelCopy { WhereFaster, WhereverPossible, Never };
    static void setKernelCopy(KernelCopy mode) { kernelCopy_.store(mode); }
    static KernelCopy kernelCopy() { return kernelCopy_.load(std::memory_order_relaxed); }

    // Asked by File before each call: true when this call must fail.
    static bool failNow() { return armed_.load(std::memory_order_relaxed) && countAndDecide(); }

private:
    static bool countAndDecide();

    static std::atomic<bool> armed_;
    static std::atomic<std::uint64_t> killAt_;
    static std::atomic<KernelCopy> kernelCopy_;
};

}  // namespace xcr

#endif  // ARCHIVE_FILEFAULTS_H
