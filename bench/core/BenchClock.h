#ifndef BENCH_CORE_BENCHCLOCK_H
#define BENCH_CORE_BENCHCLOCK_H

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>

namespace xcr::bench {

// One measured run: wall time and the peak resident memory of the process that ran it.
struct Run {
    double seconds = 0;
    long peakKiB = 0;
};

inline double secondsSince(std::chrono::steady_clock::time_point start) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// Runs `work` in a child process, so that its peak memory is its own. Dirty pages of
// earlier runs are written out first, so one run does not pay for another.
template <typename Work>
Run inChild(Work work) {
    ::sync();
    const auto start = std::chrono::steady_clock::now();
    const pid_t child = ::fork();
    if (child == 0) {
        ::_exit(work() ? 0 : 1);
    }
    int status = 0;
    struct rusage usage {};
    ::wait4(child, &status, 0, &usage);
    Run run{secondsSince(start), usage.ru_maxrss};
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
        std::fprintf(stderr, "bench: a measured run failed\n");
        std::exit(1);
    }
    return run;
}

// Keeps the shorter time of `best` and `run` (`run` alone in the first round) and the
// larger peak.
inline void keepBest(Run& best, const Run& run, int round) {
    if (round == 0 || run.seconds < best.seconds) {
        best.seconds = run.seconds;
    }
    best.peakKiB = std::max(best.peakKiB, run.peakKiB);
}

// The best of `times` runs; `prepare` runs untimed before each.
template <typename Prepare, typename Work>
Run bestOf(int times, Prepare prepare, Work work) {
    Run best;
    for (int i = 0; i < times; ++i) {
        prepare();
        keepBest(best, inChild(work), i);
    }
    return best;
}

}  // namespace xcr::bench

#endif  // BENCH_CORE_BENCHCLOCK_H
