#ifndef TESTS_SUPPORT_FAKEJOBHOST_H
#define TESTS_SUPPORT_FAKEJOBHOST_H

#include <condition_variable>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "archive/JobHost.h"

namespace xcr::test {

// A window stand-in for the jobs: a list of names with check marks, a folder chooser
// that answers at once or waits for the test, and a record of every call. Safe to drive
// from a job's worker thread while the test thread answers or reads.
class FakeJobHost : public JobHost {
public:
    explicit FakeJobHost(std::vector<std::string> names = {});

    void setChecked(int index, bool checked);
    void setAllChecked(bool checked);
    // Sets every mark to `checked` just before the job reads the mark of `index`, as if
    // the user pressed Select all or Deselect all at that moment.
    void setAllWhenReached(int index, bool checked);

    // Runs `action` on the job's thread at its first progress report of `position`, as
    // if something happened on the machine at that moment.
    void onFirstProgress(int position, std::function<void()> action);

    // What the chooser returns (the extraction folder after it closes).
    void setChooserFolder(std::string folder);
    // Makes the chooser wait until answerChooser() is called.
    void holdChooser();
    void waitUntilChooserShown();
    void answerChooser(std::string folder);

    // What the job did.
    std::vector<std::string> calls() const;
    std::optional<int> progressMax() const;
    std::vector<int> progressPositions() const;
    int beeps() const;
    int lockReleases() const;
    int chooserShown() const;

    int entryCount() override;
    std::string entryName(int index) override;
    bool isChecked(int index) override;
    void setProgressMax(int maximum) override;
    void setProgress(int position) override;
    std::string chooseExtractionFolder() override;
    void beep() override;
    void releaseLock() override;

private:
    mutable std::mutex mutex_;
    std::condition_variable changed_;
    std::vector<std::string> names_;
    std::vector<bool> checked_;
    std::optional<std::pair<int, bool>> setAllAt_;
    std::optional<std::pair<int, std::function<void()>>> progressAction_;
    std::string folder_;
    bool holding_ = false;
    bool answered_ = false;
    std::vector<std::string> calls_;
    std::optional<int> progressMax_;
    std::vector<int> positions_;
    int beeps_ = 0;
    int releases_ = 0;
    int chooserShown_ = 0;
};

}  // namespace xcr::test

#endif  // TESTS_SUPPORT_FAKEJOBHOST_H
