#ifndef PLATFORM_DESKTOPSCREENGRABBER_H
#define PLATFORM_DESKTOPSCREENGRABBER_H

#include "platform/ScreenGrabber.h"

namespace xcr {

// Grabs the real screen. Only an X11 desktop qualifies: elsewhere the program either may
// not read the screen (Wayland) or has no screen at all (offscreen).
class DesktopScreenGrabber : public ScreenGrabber {
public:
    bool capable() const override;
    QImage grab(const QRect& area) override;
};

}  // namespace xcr

#endif
