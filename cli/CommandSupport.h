#ifndef CLI_COMMANDSUPPORT_H
#define CLI_COMMANDSUPPORT_H

#include <functional>
#include <string>

#include "archive/jobs/JobOutcome.h"
#include "archive/jobs/JobProgress.h"
#include "archive/store/HeldArchive.h"
#include "archive/store/OpenedArchive.h"

namespace xcr {

// The one hold of the archive a command reads and writes through; what the opening must
// tell the user goes to standard error.
OpenedArchive openAndTell(const std::string& path,
                          HeldArchive::Access access = HeldArchive::Access::Read);

// Runs a job that rewrites the archive, which Ctrl+C, SIGTERM and SIGHUP cannot cut off:
// a signal that arrived meanwhile ends the tool once the job has ended. `job` names it
// ("save"); `doing` shows beside its progress.
void runUncut(const std::string& archive, const std::string& job, const std::string& doing,
              const std::function<JobOutcome(JobProgress&)>& body);

}  // namespace xcr

#endif  // CLI_COMMANDSUPPORT_H
