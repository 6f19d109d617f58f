#ifndef PLATFORM_QTEVENTPUMP_H
#define PLATFORM_QTEVENTPUMP_H

#include "platform/EventPump.h"

namespace xcr {

class QtEventPump final : public EventPump {
public:
    void handlePending() override;
};

}  // namespace xcr

#endif  // PLATFORM_QTEVENTPUMP_H
