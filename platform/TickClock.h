#ifndef PLATFORM_TICKCLOCK_H
#define PLATFORM_TICKCLOCK_H

#include <cstdint>

namespace xcr {

// A millisecond tick count that wraps around; callers compare unsigned differences.
class TickClock {
public:
    virtual ~TickClock() = default;
    virtual std::uint32_t ticks() = 0;
};

}  // namespace xcr

#endif  // PLATFORM_TICKCLOCK_H
