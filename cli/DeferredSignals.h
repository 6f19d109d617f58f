#ifndef CLI_DEFERREDSIGNALS_H
#define CLI_DEFERREDSIGNALS_H

#include <signal.h>

namespace xcr {

// Holds back Ctrl+C (SIGINT), SIGTERM and SIGHUP while it lives, so that the work it
// guards (a save) ends by itself, finished or rolled back, rather than half-way.
class DeferredSignals {
public:
    DeferredSignals();
    // Lets the signals through again; those taken by takeArrived() are gone.
    ~DeferredSignals();
    DeferredSignals(const DeferredSignals&) = delete;
    DeferredSignals& operator=(const DeferredSignals&) = delete;

    // The first of the held signals that arrived meanwhile, or 0; every one that arrived
    // is taken, so that none ends the program once they are let through.
    int takeArrived();

private:
    sigset_t held_;
    sigset_t before_;
};

}  // namespace xcr

#endif  // CLI_DEFERREDSIGNALS_H
