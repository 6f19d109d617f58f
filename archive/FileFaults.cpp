#include "archive/FileFaults.h"

#include <algorithm>
#include <mutex>

namespace xcr {

namespace {
std::mutex failingMutex;
std::vector<std::uint64_t> failingCalls;
std::atomic<std::uint64_t> callCount{0};
}  // namespace

std::atomic<bool> FileFaults::armed_{false};
std::atomic<FileFaults::KernelCopy> FileFaults::kernelCopy_{KernelCopy::WhereFaster};

void FileFaults::arm(std::vector<std::uint64_t> failing) {
    std::lock_guard lock(failingMutex);
    failingCalls = std::move(failing);
    callCount.store(0);
    armed_.store(true);
}

void FileFaults::disarm() {
    std::lock_guard lock(failingMutex);
    armed_.store(false);
    failingCalls.clear();
}

std::uint64_t FileFaults::counted() {
    return callCount.load();
}

bool FileFaults::countAndDecide() {
    const std::uint64_t number = callCount.fetch_add(1) + 1;
    std::lock_guard lock(failingMutex);
    return std::find(failingCalls.begin(), failingCalls.end(), number) != failingCalls.end();
}

}  // namespace xcr
