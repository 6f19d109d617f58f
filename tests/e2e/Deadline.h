#ifndef TESTS_E2E_DEADLINE_H
#define TESTS_E2E_DEADLINE_H

#include <chrono>
#include <thread>

namespace xcr::e2e {

using namespace std::chrono_literals;

// Asks `reached` again and again, a short step apart, until it holds or `timeout` has
// passed; says whether it held. Every wait for the program goes through here, so no test
// sleeps longer than it must or waits without end.
template <typename Predicate>
bool pollUntil(std::chrono::milliseconds timeout, Predicate reached,
               std::chrono::milliseconds step = 25ms) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (true) {
        if (reached()) {
            return true;
        }
        if (std::chrono::steady_clock::now() >= deadline) {
            return false;
        }
        std::this_thread::sleep_for(step);
    }
}

}  // namespace xcr::e2e

#endif  // TESTS_E2E_DEADLINE_H
