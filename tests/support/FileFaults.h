#ifndef TESTS_SUPPORT_FILEFAULTS_H
#define TESTS_SUPPORT_FILEFAULTS_H

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace xcr {

// Faults put into the system calls of the archive core (see archive/os/SystemCalls.h):
// once armed, every call is numbered from 1; the calls whose numbers were given fail as
// the system would fail them (a write or a copy after putting half of its bytes in place,
// as a disk that fills up), or the process is killed just before one, or an action runs
// there. Safe to use from several threads.
class FileFaults {
public:
    // Starts numbering calls; the calls numbered in `failing` fail with `error`, or, for
    // 0, with what the system most often gives for that call. An empty list only counts.
    static void arm(std::vector<std::uint64_t> failing, int error = 0);
    // Starts numbering calls; the process kills itself with SIGKILL just before call
    // `call`, as a crash or a power cut would stop it there.
    static void armKill(std::uint64_t call);
    // Starts numbering calls; `action` runs on the calling thread just before call
    // `call`, as if something happened on the machine at that moment (it may block).
    static void armAction(std::uint64_t call, std::function<void()> action);
    // Puts the system's own calls back.
    static void disarm();
    // Calls numbered since the last arm().
    static std::uint64_t counted();
    // The names of the functions called since the last arm(), in order ("pwrite", ...).
    static std::vector<std::string> called();
};

}  // namespace xcr

#endif  // TESTS_SUPPORT_FILEFAULTS_H
