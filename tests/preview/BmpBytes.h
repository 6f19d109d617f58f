#ifndef TESTS_PREVIEW_BMPBYTES_H
#define TESTS_PREVIEW_BMPBYTES_H

#include <QRgb>
#include <vector>

#include "tests/support/XcrBuilder.h"

namespace xcr::test {

// A small picture, rows from the top.
struct Picture {
    int width = 0;
    int height = 0;
    std::vector<QRgb> pixels;

    QRgb at(int x, int y) const { return pixels[static_cast<std::size_t>(y * width + x)]; }
};

// The ways a picture is written as a bitmap file.
enum class BmpKind {
    Bits1,
    Bits4,
    Rle4,  // runs of two pixels, the two colours alternating
    Bits8,
    Rle8,
    Bits16,           // 5-5-5 without masks
    Bits16BitFields,  // 5-6-5 masks after the 40-byte header
    Bits24,
    Bits24TopDown,  // negative height: rows stored from the top
    Bits32,
    // The 124-byte version 5 header with its masks inside: alpha in the lowest byte, then
    // red, green and blue; every pixel opaque.
    Bits32V5BitFields,
};

// Builds a bitmap file. Palette kinds use the picture's own colours in order of first
// appearance; 16-bit pictures must use colours their channels can hold exactly.
Bytes bmpBytes(const Picture& picture, BmpKind kind);

// Offsets inside the bytes bmpBytes() writes with the 40-byte header.
inline constexpr std::size_t kPlanesAt = 26;
inline constexpr std::size_t kPaletteAt = 54;

}  // namespace xcr::test

#endif  // TESTS_PREVIEW_BMPBYTES_H
