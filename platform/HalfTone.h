#ifndef PLATFORM_HALFTONE_H
#define PLATFORM_HALFTONE_H

#include <QImage>
#include <QPoint>
#include <QRgb>

namespace xcr {

// The half-tone shadow over `behind`, an image of the screen whose top-left pixel stands
// at `screenOrigin`. On a checkerboard laid over the whole screen, the pixels whose screen
// column and row differ in parity become the background ANDed with `shadow`; the others
// stay as they are. Because the pattern follows the screen, strips cut side by side join
// without a seam. The result is opaque RGB32.
QImage halfTone(const QImage& behind, const QPoint& screenOrigin, QRgb shadow);

}  // namespace xcr

#endif
