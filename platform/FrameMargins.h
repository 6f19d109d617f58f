#ifndef PLATFORM_FRAMEMARGINS_H
#define PLATFORM_FRAMEMARGINS_H

#include <QMargins>

class QWindow;

namespace xcr {

// The frame a window manager is about to draw around a top-level window that is not
// shown yet, so that the window can be placed by its outer edges from the start.
class FrameMargins {
public:
    virtual ~FrameMargins() = default;
    // Zero margins where this cannot be known.
    virtual QMargins expected(QWindow& window) = 0;
};

}  // namespace xcr

#endif  // PLATFORM_FRAMEMARGINS_H
