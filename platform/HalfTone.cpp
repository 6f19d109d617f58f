#include "platform/HalfTone.h"

namespace xcr {

QImage halfTone(const QImage& behind, const QPoint& screenOrigin, QRgb shadow) {
    QImage out = behind.convertToFormat(QImage::Format_RGB32);
    const QRgb mask = shadow | 0xff000000u;
    for (int y = 0; y < out.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(out.scanLine(y));
        // The first column on this row whose screen column and row differ in parity;
        // masking with 1 also holds for negative coordinates (two's complement).
        const int first = (screenOrigin.x() + screenOrigin.y() + y + 1) & 1;
        for (int x = first; x < out.width(); x += 2) {
            line[x] &= mask;
        }
    }
    return out;
}

}  // namespace xcr
