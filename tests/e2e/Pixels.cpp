#include "tests/e2e/Pixels.h"

#include <algorithm>
#include <cstdlib>

namespace xcr::e2e::pixels {

bool near(QRgb a, QRgb b, int tolerance) {
    return std::abs(qRed(a) - qRed(b)) <= tolerance &&
           std::abs(qGreen(a) - qGreen(b)) <= tolerance &&
           std::abs(qBlue(a) - qBlue(b)) <= tolerance;
}

int countUnlike(const QImage& image, const QRect& area, QRgb colour, int tolerance) {
    int count = 0;
    const QRect inside = area & image.rect();
    for (int y = inside.top(); y <= inside.bottom(); ++y) {
        for (int x = inside.left(); x <= inside.right(); ++x) {
            count += near(image.pixel(x, y), colour, tolerance) ? 0 : 1;
        }
    }
    return count;
}

QRect extentUnlike(const QImage& image, const QRect& area, QRgb colour, int tolerance) {
    QRect extent;
    const QRect inside = area & image.rect();
    for (int y = inside.top(); y <= inside.bottom(); ++y) {
        for (int x = inside.left(); x <= inside.right(); ++x) {
            if (!near(image.pixel(x, y), colour, tolerance)) {
                extent |= QRect(x, y, 1, 1);
            }
        }
    }
    return extent;
}

int mismatches(const QImage& image, QPoint at, const QImage& expected, int tolerance) {
    int count = 0;
    for (int y = 0; y < expected.height(); ++y) {
        for (int x = 0; x < expected.width(); ++x) {
            const QPoint place = at + QPoint(x, y);
            if (!image.rect().contains(place) ||
                !near(image.pixel(place), expected.pixel(x, y), tolerance)) {
                ++count;
            }
        }
    }
    return count;
}

bool grey(QRgb colour, int tolerance) {
    const int low = std::min({qRed(colour), qGreen(colour), qBlue(colour)});
    const int high = std::max({qRed(colour), qGreen(colour), qBlue(colour)});
    return high - low <= tolerance;
}

}  // namespace xcr::e2e::pixels
