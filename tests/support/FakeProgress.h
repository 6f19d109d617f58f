#ifndef TESTS_SUPPORT_FAKEPROGRESS_H
#define TESTS_SUPPORT_FAKEPROGRESS_H

#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "archive/jobs/JobProgress.h"

namespace xcr::test {

// Records what a job reports, from whichever thread it runs on.
class FakeProgress : public JobProgress {
public:
    // Runs `action` on the job's thread at its first report of `position`, as if
    // something happened on the machine or in the window at that moment.
    void onFirstPosition(int position, std::function<void()> action);

    std::optional<int> maximum() const;
    std::vector<int> positions() const;
    int beeps() const;
    // Every report in order: "max N", "position N", "beep".
    std::vector<std::string> calls() const;

    void setMaximum(int maximum) override;
    void setPosition(int position) override;
    void beep() override;

private:
    mutable std::mutex mutex_;
    std::optional<std::pair<int, std::function<void()>>> action_;
    std::optional<int> maximum_;
    std::vector<int> positions_;
    std::vector<std::string> calls_;
    int beeps_ = 0;
};

}  // namespace xcr::test

#endif  // TESTS_SUPPORT_FAKEPROGRESS_H
