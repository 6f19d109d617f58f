#ifndef PLATFORM_BEEPER_H
#define PLATFORM_BEEPER_H

namespace xcr {

// The system's default alert sound.
class Beeper {
public:
    virtual ~Beeper() = default;
    virtual void beep() = 0;
};

}  // namespace xcr

#endif  // PLATFORM_BEEPER_H
