#ifndef ARCHIVE_JOBOUTCOME_H
#define ARCHIVE_JOBOUTCOME_H

#include <string>

namespace xcr {

// How a job ended: ok, or a failure with the text the window shows once the job has
// ended. The quiet early ends (nothing to do) are ok.
struct JobOutcome {
    std::string failure;

    bool ok() const { return failure.empty(); }
    static JobOutcome success() { return {}; }
    static JobOutcome failed(std::string text) { return {std::move(text)}; }
};

}  // namespace xcr

#endif  // ARCHIVE_JOBOUTCOME_H
