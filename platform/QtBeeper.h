#ifndef PLATFORM_QTBEEPER_H
#define PLATFORM_QTBEEPER_H

#include "platform/Beeper.h"

namespace xcr {

class QtBeeper : public Beeper {
public:
    void beep() override;
};

}  // namespace xcr

#endif  // PLATFORM_QTBEEPER_H
