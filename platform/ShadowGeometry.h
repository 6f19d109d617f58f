#ifndef PLATFORM_SHADOWGEOMETRY_H
#define PLATFORM_SHADOWGEOMETRY_H

#include <QRect>

namespace xcr {

// Where a window's drop shadow lies on the screen: a strip along the right edge from
// kDepth below the top down to the bottom, and a strip under the bottom edge from kDepth
// right of the left edge to kDepth past the right edge. The two meet in the corner
// without overlapping.
struct ShadowGeometry {
    static constexpr int kDepth = 6;

    QRect right;
    QRect bottom;

    // The strips of a window whose frame (title bar and border included) is `frame`.
    static ShadowGeometry forFrame(const QRect& frame);

    // The parts of the strips that lie on `desktop`; a strip wholly off it becomes empty.
    ShadowGeometry clippedTo(const QRect& desktop) const;
};

}  // namespace xcr

#endif
