#include "platform/ShadowGeometry.h"

#include <algorithm>

namespace xcr {

ShadowGeometry ShadowGeometry::forFrame(const QRect& frame) {
    if (frame.isEmpty()) {
        return {};
    }
    const int rightHeight = std::max(0, frame.height() - kDepth);
    return {QRect(frame.x() + frame.width(), frame.y() + kDepth, kDepth, rightHeight),
            QRect(frame.x() + kDepth, frame.y() + frame.height(), frame.width(), kDepth)};
}

ShadowGeometry ShadowGeometry::clippedTo(const QRect& desktop) const {
    return {right.intersected(desktop), bottom.intersected(desktop)};
}

}  // namespace xcr
