#include "tests/support/FakeProgress.h"

namespace xcr::test {

void FakeProgress::onFirstPosition(int position, std::function<void()> action) {
    std::lock_guard lock(mutex_);
    action_.emplace(position, std::move(action));
}

std::optional<int> FakeProgress::maximum() const {
    std::lock_guard lock(mutex_);
    return maximum_;
}

std::vector<int> FakeProgress::positions() const {
    std::lock_guard lock(mutex_);
    return positions_;
}

int FakeProgress::beeps() const {
    std::lock_guard lock(mutex_);
    return beeps_;
}

std::vector<std::string> FakeProgress::calls() const {
    std::lock_guard lock(mutex_);
    return calls_;
}

void FakeProgress::setMaximum(int maximum) {
    std::lock_guard lock(mutex_);
    maximum_ = maximum;
    calls_.push_back("max " + std::to_string(maximum));
}

void FakeProgress::setPosition(int position) {
    std::function<void()> action;
    {
        std::lock_guard lock(mutex_);
        positions_.push_back(position);
        calls_.push_back("position " + std::to_string(position));
        if (action_ && action_->first == position) {
            action = std::move(action_->second);
            action_.reset();
        }
    }
    if (action) {
        action();
    }
}

void FakeProgress::beep() {
    std::lock_guard lock(mutex_);
    ++beeps_;
    calls_.push_back("beep");
}

}  // namespace xcr::test
