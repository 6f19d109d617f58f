#ifndef PLATFORM_EVENTPUMP_H
#define PLATFORM_EVENTPUMP_H

namespace xcr {

// Handles the window events that are pending and returns, so a wait on the window's
// thread keeps the program responsive.
class EventPump {
public:
    virtual ~EventPump() = default;
    virtual void handlePending() = 0;
};

}  // namespace xcr

#endif  // PLATFORM_EVENTPUMP_H
