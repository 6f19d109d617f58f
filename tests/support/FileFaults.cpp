#include "tests/support/FileFaults.h"

#include <algorithm>
#include <csignal>
#include <mutex>

#include "archive/os/FileCallHook.h"

namespace xcr {

namespace {
std::mutex failingMutex;
std::vector<std::uint64_t> failingCalls;
std::atomic<std::uint64_t> callCount{0};
std::uint64_t actionAt = 0;
std::function<void()> action;
}  // namespace

std::atomic<std::uint64_t> FileFaults::killAt_{0};

void FileFaults::arm(std::vector<std::uint64_t> failing) {
    std::lock_guard lock(failingMutex);
    failingCalls = std::move(failing);
    callCount.store(0);
    killAt_.store(0);
    actionAt = 0;
    action = nullptr;
    FileCallHook::install(&FileFaults::countAndDecide);
}

void FileFaults::armKill(std::uint64_t call) {
    arm({});
    killAt_.store(call);
}

void FileFaults::armAction(std::uint64_t call, std::function<void()> work) {
    arm({});
    std::lock_guard lock(failingMutex);
    actionAt = call;
    action = std::move(work);
}

void FileFaults::disarm() {
    std::lock_guard lock(failingMutex);
    FileCallHook::install(nullptr);
    killAt_.store(0);
    actionAt = 0;
    action = nullptr;
    failingCalls.clear();
}

std::uint64_t FileFaults::counted() {
    return callCount.load();
}

bool FileFaults::countAndDecide() {
    const std::uint64_t number = callCount.fetch_add(1) + 1;
    if (number == killAt_.load()) {
        ::raise(SIGKILL);
    }
    std::function<void()> now;
    bool failing = false;
    {
        std::lock_guard lock(failingMutex);
        if (number == actionAt) {
            now = std::move(action);
        }
        failing = std::find(failingCalls.begin(), failingCalls.end(), number) != failingCalls.end();
    }
    if (now) {
        now();
    }
    return failing;
}

}  // namespace xcr
