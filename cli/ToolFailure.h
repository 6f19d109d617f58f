#ifndef CLI_TOOLFAILURE_H
#define CLI_TOOLFAILURE_H

#include <csignal>
#include <string>

#include "archive/os/Failure.h"

namespace xcr {

inline constexpr int kUsageStatus = 2;
// Standard output's reader went away (a pipeline's reader that had enough): the tool ends
// quietly with the status of a program that SIGPIPE ended, which a pipeline expects.
inline constexpr int kClosedOutputStatus = 128 + SIGPIPE;

// A failure that ends xcrtool with an exit status of its own rather than 1: a usage error
// (kUsageStatus), or a save that a signal asked to stop (128 + the signal's number).
class ToolFailure : public Failure {
public:
    ToolFailure(const std::string& text, int status) : Failure(text), status_(status) {}

    int status() const { return status_; }

private:
    int status_;
};

}  // namespace xcr

#endif  // CLI_TOOLFAILURE_H
