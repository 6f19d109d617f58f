#include "tests/preview/BmpBytes.h"

#include <algorithm>
#include <stdexcept>

namespace xcr::test {

namespace {

void put16(Bytes& bytes, std::size_t at, unsigned value) {
    bytes[at] = static_cast<unsigned char>(value);
    bytes[at + 1] = static_cast<unsigned char>(value >> 8);
}

int bitsOf(BmpKind kind) {
    switch (kind) {
        case BmpKind::Bits1:
            return 1;
        case BmpKind::Bits4:
        case BmpKind::Rle4:
            return 4;
        case BmpKind::Bits8:
        case BmpKind::Rle8:
            return 8;
        case BmpKind::Bits16:
        case BmpKind::Bits16BitFields:
            return 16;
        case BmpKind::Bits24:
        case BmpKind::Bits24TopDown:
            return 24;
        case BmpKind::Bits32:
        case BmpKind::Bits32V5BitFields:
            return 32;
    }
    return 0;
}

std::vector<QRgb> paletteOf(const Picture& picture, int bits) {
    std::vector<QRgb> palette;
    for (QRgb colour : picture.pixels) {
        if (std::find(palette.begin(), palette.end(), colour) == palette.end()) {
            palette.push_back(colour);
        }
    }
    if (palette.size() > (1u << bits)) {
        throw std::invalid_argument("too many colours for the palette");
    }
    return palette;
}

unsigned indexOf(const std::vector<QRgb>& palette, QRgb colour) {
    return static_cast<unsigned>(std::find(palette.begin(), palette.end(), colour) -
                                 palette.begin());
}

// One stored row, padded to four bytes.
Bytes packedRow(const Picture& picture, int y, BmpKind kind, const std::vector<QRgb>& palette) {
    const int bits = bitsOf(kind);
    Bytes row(static_cast<std::size_t>((picture.width * bits + 31) / 32 * 4), 0);
    for (int x = 0; x < picture.width; ++x) {
        const QRgb colour = picture.at(x, y);
        if (bits <= 8) {
            const int bit = x * bits;
            const int shift = 8 - bits - bit % 8;
            row[static_cast<std::size_t>(bit / 8)] |=
                static_cast<unsigned char>(indexOf(palette, colour) << shift);
        } else if (kind == BmpKind::Bits16) {
            const unsigned value =
                ((qRed(colour) >> 3) << 10) | ((qGreen(colour) >> 3) << 5) | (qBlue(colour) >> 3);
            put16(row, static_cast<std::size_t>(x * 2), value);
        } else if (bits == 16) {
            const unsigned value =
                ((qRed(colour) >> 3) << 11) | ((qGreen(colour) >> 2) << 5) | (qBlue(colour) >> 3);
            put16(row, static_cast<std::size_t>(x * 2), value);
        } else if (kind == BmpKind::Bits32V5BitFields) {
            const auto at = static_cast<std::size_t>(x * 4);
            row[at] = 0xFF;
            row[at + 1] = static_cast<unsigned char>(qRed(colour));
            row[at + 2] = static_cast<unsigned char>(qGreen(colour));
            row[at + 3] = static_cast<unsigned char>(qBlue(colour));
        } else {
            const auto at = static_cast<std::size_t>(x * bits / 8);
            row[at] = static_cast<unsigned char>(qBlue(colour));
            row[at + 1] = static_cast<unsigned char>(qGreen(colour));
            row[at + 2] = static_cast<unsigned char>(qRed(colour));
        }
    }
    return row;
}

// Each pixel as a run of one; every row ends with an end-of-line mark.
Bytes rle8Row(const Picture& picture, int y, const std::vector<QRgb>& palette) {
    Bytes row;
    for (int x = 0; x < picture.width; ++x) {
        row.push_back(1);
        row.push_back(static_cast<unsigned char>(indexOf(palette, picture.at(x, y))));
    }
    row.push_back(0);
    row.push_back(0);
    return row;
}

// Each two pixels as a run of two alternating colours, a last odd pixel as a run of one;
// every row ends with an end-of-line mark.
Bytes rle4Row(const Picture& picture, int y, const std::vector<QRgb>& palette) {
    Bytes row;
    for (int x = 0; x < picture.width; x += 2) {
        const bool pair = x + 1 < picture.width;
        const unsigned second = pair ? indexOf(palette, picture.at(x + 1, y)) : 0;
        row.push_back(pair ? 2 : 1);
        row.push_back(static_cast<unsigned char>(indexOf(palette, picture.at(x, y)) << 4 | second));
    }
    row.push_back(0);
    row.push_back(0);
    return row;
}

}  // namespace

Bytes bmpBytes(const Picture& picture, BmpKind kind) {
    const int bits = bitsOf(kind);
    const std::vector<QRgb> palette = bits <= 8 ? paletteOf(picture, bits) : std::vector<QRgb>{};
    Bytes table;
    for (QRgb colour : palette) {
        table.insert(table.end(), {static_cast<unsigned char>(qBlue(colour)),
                                   static_cast<unsigned char>(qGreen(colour)),
                                   static_cast<unsigned char>(qRed(colour)), 0});
    }
    if (kind == BmpKind::Bits16BitFields) {
        for (std::int32_t mask : {0xF800, 0x07E0, 0x001F}) {
            table.resize(table.size() + 4);
            putNumber(table, table.size() - 4, mask);
        }
    }
    const bool topDown = kind == BmpKind::Bits24TopDown;
    const bool runs = kind == BmpKind::Rle8 || kind == BmpKind::Rle4;
    Bytes pixels;
    for (int i = 0; i < picture.height; ++i) {
        const int y = topDown ? i : picture.height - 1 - i;
        const Bytes row = kind == BmpKind::Rle8   ? rle8Row(picture, y, palette)
                          : kind == BmpKind::Rle4 ? rle4Row(picture, y, palette)
                                                  : packedRow(picture, y, kind, palette);
        pixels.insert(pixels.end(), row.begin(), row.end());
    }
    if (runs) {
        pixels.insert(pixels.end(), {0, 1});
    }

    const bool version5 = kind == BmpKind::Bits32V5BitFields;
    const std::size_t headerSize = version5 ? 124 : 40;
    Bytes bytes(14 + headerSize, 0);
    bytes[0] = 'B';
    bytes[1] = 'M';
    const auto dataAt = static_cast<std::int32_t>(bytes.size() + table.size());
    putNumber(bytes, 2, dataAt + static_cast<std::int32_t>(pixels.size()));
    putNumber(bytes, 10, dataAt);
    putNumber(bytes, 14, static_cast<std::int32_t>(headerSize));
    putNumber(bytes, 18, picture.width);
    putNumber(bytes, 22, topDown ? -picture.height : picture.height);
    put16(bytes, kPlanesAt, 1);
    put16(bytes, 28, static_cast<unsigned>(bits));
    const int compression = kind == BmpKind::Rle8                          ? 1
                            : kind == BmpKind::Rle4                        ? 2
                            : kind == BmpKind::Bits16BitFields || version5 ? 3
                                                                           : 0;
    putNumber(bytes, 30, compression);
    putNumber(bytes, 34, static_cast<std::int32_t>(pixels.size()));
    putNumber(bytes, 46, static_cast<std::int32_t>(palette.size()));
    if (version5) {
        // Red, green, blue and alpha masks, then the colour space: sRGB.
        const std::int32_t masks[] = {0x0000FF00, 0x00FF0000, static_cast<std::int32_t>(0xFF000000),
                                      0x000000FF};
        for (std::size_t i = 0; i < 4; ++i) {
            putNumber(bytes, 54 + 4 * i, masks[i]);
        }
        putNumber(bytes, 70, 0x73524742);
    }
    bytes.insert(bytes.end(), table.begin(), table.end());
    bytes.insert(bytes.end(), pixels.begin(), pixels.end());
    return bytes;
}

}  // namespace xcr::test
