#ifndef PLATFORM_FRAMETRACKER_H
#define PLATFORM_FRAMETRACKER_H

#include <QRect>
#include <functional>

class QWindow;

namespace xcr {

// Follows the frame a window manager draws around a top-level window. A manager may drag
// the frame about without telling the window until the drag ends; this sees every step.
class FrameTracker {
public:
    virtual ~FrameTracker() = default;

    // From now on calls `moved` whenever the frame now around `window` changes place or
    // size. Called again after the window was framed anew, it follows the new frame.
    virtual void follow(const QWindow& window, std::function<void()> moved) = 0;

    // Where the followed frame stands now (global coordinates); empty when no frame is
    // followed, and the window's own idea of its frame is then the one to use.
    virtual QRect frameGeometry() const = 0;

    // Whether a pointer button is held anywhere on the desktop: a drag of the frame may
    // stand still for a while and still not be over.
    virtual bool pointerButtonHeld() const = 0;
};

}  // namespace xcr

#endif
