#ifndef ARCHIVE_JOBS_JOBOUTCOME_H
#define ARCHIVE_JOBS_JOBOUTCOME_H

#include <optional>
#include <string>

#include "archive/format/EntryTable.h"

namespace xcr {
inline namespace jobs {

// How a job ended: ok, or a failure with the text the user is shown once the job has
// ended. The quiet early ends (nothing to do) are ok. A save that rewrote the archive
// also gives the table that now describes it, and an ok outcome may carry a warning the
// user is shown all the same.
struct JobOutcome {
    std::string failure;
    std::optional<EntryTable> savedEntries;
    std::string warning;

    bool ok() const { return failure.empty(); }
    static JobOutcome success() { return {}; }
    static JobOutcome failed(std::string text) { return {std::move(text), std::nullopt, {}}; }
};

}  // namespace jobs
}  // namespace xcr

#endif  // ARCHIVE_JOBS_JOBOUTCOME_H
