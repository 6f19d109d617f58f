#ifndef PLATFORM_X11FRAMEMARGINS_H
#define PLATFORM_X11FRAMEMARGINS_H

#include "platform/FrameMargins.h"

namespace xcr {

// Asks an X11 window manager for the frame it will draw (_NET_REQUEST_FRAME_EXTENTS) and
// waits briefly for the answer. Zero margins elsewhere, or when no manager answers.
class X11FrameMargins final : public FrameMargins {
public:
    QMargins expected(QWindow& window) override;
};

}  // namespace xcr

#endif  // PLATFORM_X11FRAMEMARGINS_H
