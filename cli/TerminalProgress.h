#ifndef CLI_TERMINALPROGRESS_H
#define CLI_TERMINALPROGRESS_H

#include <string>

#include "archive/jobs/JobProgress.h"

namespace xcr {

// Shows a job's progress as one line of percent on standard error, redrawn in place,
// when standard error is a terminal; nothing otherwise, so that logs and pipes stay
// clean. The line is wiped when the object goes.
class TerminalProgress : public JobProgress {
public:
    explicit TerminalProgress(std::string label);
    ~TerminalProgress() override;
    TerminalProgress(const TerminalProgress&) = delete;
    TerminalProgress& operator=(const TerminalProgress&) = delete;

    void setMaximum(int maximum) override;
    void setPosition(int position) override;
    // The window's alert sound has no place in a terminal.
    void beep() override {}

private:
    void draw(const std::string& text);

    std::string label_;
    bool shown_;
    int maximum_ = 0;
    int percent_ = -1;
    std::size_t drawn_ = 0;
};

}  // namespace xcr

#endif  // CLI_TERMINALPROGRESS_H
