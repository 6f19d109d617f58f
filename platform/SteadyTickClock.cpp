#include "platform/SteadyTickClock.h"

#include <chrono>

namespace xcr {

std::uint32_t SteadyTickClock::ticks() {
    const auto sinceStart = std::chrono::steady_clock::now().time_since_epoch();
    return static_cast<std::uint32_t>(
        std::chrono::duration_cast<std::chrono::milliseconds>(sinceStart).count());
}

}  // namespace xcr
