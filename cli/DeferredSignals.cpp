#include "cli/DeferredSignals.h"

#include <ctime>
#include <initializer_list>

namespace xcr {

DeferredSignals::DeferredSignals() {
    sigemptyset(&held_);
    for (const int signal : {SIGINT, SIGTERM, SIGHUP}) {
        sigaddset(&held_, signal);
    }
    sigprocmask(SIG_BLOCK, &held_, &before_);
}

DeferredSignals::~DeferredSignals() {
    sigprocmask(SIG_SETMASK, &before_, nullptr);
}

int DeferredSignals::takeArrived() {
    const timespec now{};
    int first = 0;
    for (int signal; (signal = sigtimedwait(&held_, nullptr, &now)) > 0;) {
        if (first == 0) {
            first = signal;
        }
    }
    return first;
}

}  // namespace xcr
