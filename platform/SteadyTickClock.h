#ifndef PLATFORM_STEADYTICKCLOCK_H
#define PLATFORM_STEADYTICKCLOCK_H

#include "platform/TickClock.h"

namespace xcr {

class SteadyTickClock final : public TickClock {
public:
    std::uint32_t ticks() override;
};

}  // namespace xcr

#endif  // PLATFORM_STEADYTICKCLOCK_H
