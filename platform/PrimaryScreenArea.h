#ifndef PLATFORM_PRIMARYSCREENAREA_H
#define PLATFORM_PRIMARYSCREENAREA_H

#include "platform/ScreenArea.h"

namespace xcr {

class PrimaryScreenArea final : public ScreenArea {
public:
    QRect fullScreenClientArea() const override;
};

}  // namespace xcr

#endif  // PLATFORM_PRIMARYSCREENAREA_H
