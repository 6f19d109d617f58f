#ifndef PLATFORM_SCREENGRABBER_H
#define PLATFORM_SCREENGRABBER_H

#include <QImage>
#include <QRect>

namespace xcr {

// Reads back what the desktop shows, for effects drawn from what lies behind a window.
class ScreenGrabber {
public:
    virtual ~ScreenGrabber() = default;

    // Whether this desktop lets the program read its pixels and place small windows
    // exactly where it asks.
    virtual bool capable() const = 0;

    // What the screen shows in `area` (global coordinates); null when it cannot be read.
    virtual QImage grab(const QRect& area) = 0;
};

}  // namespace xcr

#endif
