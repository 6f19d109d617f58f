#ifndef TESTS_SUPPORT_FILEFAULTS_H
#define TESTS_SUPPORT_FILEFAULTS_H

#include <atomic>
#include <cstdint>
#include <functional>
#include <vector>

namespace xcr {

// Faults put into the file layer through its hook: once armed, every call of any File that
// can fail (open, create, read, write, copy, flush, length, truncate, checked close,
// delete), and every opening of and rename in an OutputFolder, is numbered from 1; the
// calls whose numbers were given fail as the real call would (a write after writing part
// of its buffer), or the process is killed there, or an action runs there. Safe to use
// from several threads.
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

private:
    // The hook: numbers the call and says whether it fails.
    static bool countAndDecide();

    static std::atomic<std::uint64_t> killAt_;
};

}  // namespace xcr

#endif  // TESTS_SUPPORT_FILEFAULTS_H
