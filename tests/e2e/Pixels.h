#ifndef TESTS_E2E_PIXELS_H
#define TESTS_E2E_PIXELS_H

#include <QImage>
#include <QRect>
#include <QRgb>

namespace xcr::e2e::pixels {

// True when every colour channel differs by at most `tolerance`.
bool near(QRgb a, QRgb b, int tolerance = 0);
// How many pixels of `area` are not near `colour`.
int countUnlike(const QImage& image, const QRect& area, QRgb colour, int tolerance = 0);
// The smallest rectangle holding every pixel of `area` that is not near `colour`; empty
// when there is none.
QRect extentUnlike(const QImage& image, const QRect& area, QRgb colour, int tolerance = 0);
// How many pixels of `expected`, placed at `at` in `image`, are not near what `image`
// shows there (pixels outside `image` count as unlike).
int mismatches(const QImage& image, QPoint at, const QImage& expected, int tolerance = 0);
// True when the pixel is a shade of grey (all channels within `tolerance`).
bool grey(QRgb colour, int tolerance);

}  // namespace xcr::e2e::pixels

#endif  // TESTS_E2E_PIXELS_H
