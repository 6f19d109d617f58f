#ifndef PLATFORM_SCREENAREA_H
#define PLATFORM_SCREENAREA_H

#include <QRect>

namespace xcr {

// Where the client area of a full-screen window on the primary screen would lie: the
// usable screen less one caption bar in height, in desktop coordinates (a primary screen
// beside another need not start at 0, 0).
class ScreenArea {
public:
    virtual ~ScreenArea() = default;
    virtual QRect fullScreenClientArea() const = 0;
};

}  // namespace xcr

#endif  // PLATFORM_SCREENAREA_H
