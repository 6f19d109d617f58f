#ifndef PLATFORM_X11FRAMETRACKER_H
#define PLATFORM_X11FRAMETRACKER_H

#include <QAbstractNativeEventFilter>
#include <cstdint>

#include "platform/FrameTracker.h"

namespace xcr {

// Follows the frame on an X11 desktop: it asks the X server for the structure events of
// the window manager's frame window (the window's top-level ancestor) and reads its
// moves from them. Elsewhere it follows nothing.
class X11FrameTracker : public FrameTracker, public QAbstractNativeEventFilter {
public:
    X11FrameTracker();
    ~X11FrameTracker() override;

    void follow(const QWindow& window, std::function<void()> moved) override;
    QRect frameGeometry() const override { return frame_; }
    bool pointerButtonHeld() const override;

    bool nativeEventFilter(const QByteArray& eventType, void* message, qintptr* result) override;

private:
    std::uint32_t frameWindow_ = 0;
    QRect frame_;
    std::function<void()> moved_;
};

}  // namespace xcr

#endif
