#ifndef PLATFORM_SCREENAREA_H
#define PLATFORM_SCREENAREA_H

#include <QSize>

namespace xcr {

// The client size of a full-screen window on the primary screen: the usable screen less
// one caption bar in height.
class ScreenArea {
public:
    virtual ~ScreenArea() = default;
    virtual QSize fullScreenClientSize() const = 0;
};

}  // namespace xcr

#endif  // PLATFORM_SCREENAREA_H
