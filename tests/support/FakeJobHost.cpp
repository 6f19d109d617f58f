#include "tests/support/FakeJobHost.h"

namespace xcr::test {

FakeJobHost::FakeJobHost(std::vector<std::string> names)
    : names_(std::move(names)), checked_(names_.size(), false) {}

void FakeJobHost::setChecked(int index, bool checked) {
    std::lock_guard lock(mutex_);
    checked_.at(static_cast<std::size_t>(index)) = checked;
}

void FakeJobHost::setAllChecked(bool checked) {
    std::lock_guard lock(mutex_);
    checked_.assign(names_.size(), checked);
}

void FakeJobHost::setAllWhenReached(int index, bool checked) {
    std::lock_guard lock(mutex_);
    setAllAt_ = {index, checked};
}

void FakeJobHost::setChooserFolder(std::string folder) {
    std::lock_guard lock(mutex_);
    folder_ = std::move(folder);
}

void FakeJobHost::holdChooser() {
    std::lock_guard lock(mutex_);
    holding_ = true;
}

void FakeJobHost::waitUntilChooserShown() {
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [this] { return chooserShown_ > 0; });
}

void FakeJobHost::answerChooser(std::string folder) {
    std::lock_guard lock(mutex_);
    folder_ = std::move(folder);
    answered_ = true;
    changed_.notify_all();
}

std::vector<std::string> FakeJobHost::calls() const {
    std::lock_guard lock(mutex_);
    return calls_;
}

std::optional<int> FakeJobHost::progressMax() const {
    std::lock_guard lock(mutex_);
    return progressMax_;
}

std::vector<int> FakeJobHost::progressPositions() const {
    std::lock_guard lock(mutex_);
    return positions_;
}

int FakeJobHost::beeps() const {
    std::lock_guard lock(mutex_);
    return beeps_;
}

int FakeJobHost::lockReleases() const {
    std::lock_guard lock(mutex_);
    return releases_;
}

int FakeJobHost::chooserShown() const {
    std::lock_guard lock(mutex_);
    return chooserShown_;
}

int FakeJobHost::entryCount() {
    std::lock_guard lock(mutex_);
    calls_.push_back("count");
    return static_cast<int>(names_.size());
}

std::string FakeJobHost::entryName(int index) {
    std::lock_guard lock(mutex_);
    calls_.push_back("name " + std::to_string(index));
    return names_.at(static_cast<std::size_t>(index));
}

bool FakeJobHost::isChecked(int index) {
    std::lock_guard lock(mutex_);
    calls_.push_back("checked " + std::to_string(index));
    if (setAllAt_ && setAllAt_->first == index) {
        checked_.assign(names_.size(), setAllAt_->second);
    }
    return checked_.at(static_cast<std::size_t>(index));
}

void FakeJobHost::setProgressMax(int maximum) {
    std::lock_guard lock(mutex_);
    calls_.push_back("max " + std::to_string(maximum));
    progressMax_ = maximum;
}

void FakeJobHost::onFirstProgress(int position, std::function<void()> action) {
    std::lock_guard lock(mutex_);
    progressAction_.emplace(position, std::move(action));
}

void FakeJobHost::setProgress(int position) {
    std::function<void()> action;
    {
        std::lock_guard lock(mutex_);
        calls_.push_back("position " + std::to_string(position));
        positions_.push_back(position);
        if (progressAction_ && progressAction_->first == position) {
            action = std::move(progressAction_->second);
            progressAction_.reset();
        }
    }
    if (action) {
        action();
    }
}

std::string FakeJobHost::chooseExtractionFolder() {
    std::unique_lock lock(mutex_);
    calls_.push_back("chooser");
    ++chooserShown_;
    changed_.notify_all();
    if (holding_) {
        changed_.wait(lock, [this] { return answered_; });
    }
    return folder_;
}

void FakeJobHost::beep() {
    std::lock_guard lock(mutex_);
    calls_.push_back("beep");
    ++beeps_;
}

void FakeJobHost::releaseLock() {
    std::lock_guard lock(mutex_);
    calls_.push_back("release");
    ++releases_;
}

}  // namespace xcr::test
