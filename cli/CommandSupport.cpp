#include "cli/CommandSupport.h"

#include <cstring>
#include <iostream>

#include "cli/DeferredSignals.h"
#include "cli/TerminalProgress.h"
#include "cli/ToolFailure.h"

namespace xcr {

OpenedArchive openAndTell(const std::string& path, HeldArchive::Access access) {
    OpenedArchive opened = openArchive(path, access);
    if (!opened.notice.empty()) {
        std::cerr << "xcrtool: " << opened.notice << std::endl;
    }
    return opened;
}

void runUncut(const std::string& archive, const std::string& job, const std::string& doing,
              const std::function<JobOutcome(JobProgress&)>& body) {
    JobOutcome outcome;
    int signal = 0;
    {
        DeferredSignals deferred;
        {
            TerminalProgress progress(doing);
            outcome = body(progress);
        }
        signal = deferred.takeArrived();
    }
    if (signal != 0) {
        const std::string stop = std::string("Stopped by SIG") + sigabbrev_np(signal);
        throw ToolFailure(outcome.ok()
                              ? stop + " once the " + job + " of " + archive + " had finished"
                              : stop + " once the " + job + " had failed: " + outcome.failure,
                          128 + signal);
    }
    if (!outcome.ok()) {
        throw Failure(outcome.failure);
    }
    if (!outcome.warning.empty()) {
        std::cerr << "xcrtool: " << outcome.warning << std::endl;
    }
}

}  // namespace xcr
