#include "app/Resources.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QIcon>
#include <QImage>
#include <QImageReader>
#include <QString>
#include <QVector>
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>

namespace xcr {
namespace {

QByteArray resourceBytes(const QString& path) {
    loadResources();
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        ADD_FAILURE() << "missing resource " << path.toStdString();
        return {};
    }
    return file.readAll();
}

uint32_t numberAt(const QByteArray& bytes, int at, int size) {
    uint32_t value = 0;
    for (int i = size - 1; i >= 0; --i) {
        value = (value << 8) | static_cast<uint8_t>(bytes.at(at + i));
    }
    return value;
}

QString glyphPath(int number) {
    return QStringLiteral(":/glyphs/SpeedButton%1.bmp").arg(number);
}

// The parts of a BITMAPINFOHEADER image that the program's pictures depend on.
struct Bitmap {
    int width = 0;
    int height = 0;  // of the colour image; an icon's header counts its mask too
    int bits = 0;
    int compression = -1;
    uint32_t coloursUsed = 0;
    QVector<QRgb> palette;
    QByteArray pixels;  // colour rows, bottom-up
    QByteArray mask;    // an icon's AND mask rows, bottom-up; empty for a plain bitmap

    int stride(int rowBits) const { return (width * rowBits + 31) / 32 * 4; }

    // Palette index of (x, y), y counted from the top.
    int index(int x, int y) const {
        const auto byte =
            static_cast<uint8_t>(pixels.at((height - 1 - y) * stride(bits) + x * bits / 8));
        return bits == 8 ? byte : (x % 2 == 0 ? byte >> 4 : byte & 0x0f);
    }
    QRgb colour(int x, int y) const { return palette.at(index(x, y)); }
    bool transparent(int x, int y) const {
        const auto byte = static_cast<uint8_t>(mask.at((height - 1 - y) * stride(1) + x / 8));
        return (byte & (0x80 >> (x % 8))) != 0;
    }
};

// Reads the header at `at`; `withMask` for an icon image, whose header height is doubled.
Bitmap parseBitmap(const QByteArray& bytes, int at, int pixelsAt, bool withMask) {
    Bitmap bitmap;
    EXPECT_EQ(numberAt(bytes, at, 4), 40u);
    bitmap.width = static_cast<int>(numberAt(bytes, at + 4, 4));
    bitmap.height = static_cast<int32_t>(numberAt(bytes, at + 8, 4)) / (withMask ? 2 : 1);
    bitmap.bits = static_cast<int>(numberAt(bytes, at + 14, 2));
    bitmap.compression = static_cast<int>(numberAt(bytes, at + 16, 4));
    bitmap.coloursUsed = numberAt(bytes, at + 32, 4);
    if (bitmap.bits <= 8) {
        const int count =
            bitmap.coloursUsed != 0 ? static_cast<int>(bitmap.coloursUsed) : 1 << bitmap.bits;
        for (int i = 0; i < count; ++i) {
            const int entry = at + 40 + 4 * i;
            bitmap.palette.append(qRgb(static_cast<uint8_t>(bytes.at(entry + 2)),
                                       static_cast<uint8_t>(bytes.at(entry + 1)),
                                       static_cast<uint8_t>(bytes.at(entry))));
        }
        if (pixelsAt < 0) {
            pixelsAt = at + 40 + 4 * count;
        }
    }
    const int colourSize = bitmap.stride(bitmap.bits) * bitmap.height;
    bitmap.pixels = bytes.mid(pixelsAt, colourSize);
    EXPECT_EQ(bitmap.pixels.size(), colourSize) << "colour rows cut short";
    if (withMask) {
        const int maskSize = bitmap.stride(1) * bitmap.height;
        bitmap.mask = bytes.mid(pixelsAt + colourSize, maskSize);
        EXPECT_EQ(bitmap.mask.size(), maskSize) << "mask rows cut short";
    }
    return bitmap;
}

Bitmap parseBmp(const QByteArray& bytes) {
    EXPECT_TRUE(bytes.startsWith("BM"));
    EXPECT_EQ(numberAt(bytes, 2, 4), static_cast<uint32_t>(bytes.size()));
    return parseBitmap(bytes, 14, static_cast<int>(numberAt(bytes, 10, 4)), false);
}

// An icon file with exactly one image of the given size.
Bitmap parseIco(const QByteArray& bytes, int size) {
    EXPECT_EQ(numberAt(bytes, 0, 2), 0u);
    EXPECT_EQ(numberAt(bytes, 2, 2), 1u) << "not an icon";
    EXPECT_EQ(numberAt(bytes, 4, 2), 1u) << "one image";
    EXPECT_EQ(static_cast<int>(numberAt(bytes, 6, 1)), size);
    EXPECT_EQ(static_cast<int>(numberAt(bytes, 7, 1)), size);
    const auto length = numberAt(bytes, 14, 4);
    const auto offset = numberAt(bytes, 18, 4);
    EXPECT_EQ(offset + length, static_cast<uint32_t>(bytes.size()));
    return parseBitmap(bytes, static_cast<int>(offset), -1, true);
}

struct GlyphKind {
    int number;
    int bits;
    int colours;
    QRgb background;
};

const GlyphKind kGlyphs[] = {
    {1, 4, 16, qRgb(228, 226, 222)}, {2, 8, 61, qRgb(249, 249, 249)},
    {3, 8, 65, qRgb(249, 249, 249)}, {4, 8, 17, qRgb(179, 194, 167)},
    {5, 4, 7, qRgb(196, 109, 116)},  {6, 8, 256, qRgb(255, 0, 255)},
    {7, 8, 256, qRgb(255, 0, 255)},  {8, 8, 256, qRgb(255, 0, 255)},
    {9, 8, 256, qRgb(255, 0, 255)},
};

TEST(ResourcesTest, EveryPictureLoadsAtItsSizeAfterRepeatedRegistration) {
    loadResources();
    loadResources();
    for (int number = 1; number <= 9; ++number) {
        const QImage glyph(glyphPath(number));
        EXPECT_EQ(glyph.size(), QSize(24, 24)) << "glyph " << number;
    }
    const QIcon icon(QStringLiteral(":/icon/pelloran.ico"));
    EXPECT_TRUE(icon.availableSizes().contains(QSize(32, 32)));
    EXPECT_EQ(QImage(QStringLiteral(":/about/HELP.ico")).size(), QSize(48, 48));
    const QImage mavrel(QStringLiteral(":/about/MAVREL.bmp"));
    EXPECT_EQ(mavrel.size(), QSize(48, 48));
    EXPECT_FALSE(mavrel.hasAlphaChannel());
}

TEST(ResourcesTest, GlyphsHaveTheirDepthPaletteAndBackground) {
    for (const GlyphKind& kind : kGlyphs) {
        SCOPED_TRACE(kind.number);
        const Bitmap glyph = parseBmp(resourceBytes(glyphPath(kind.number)));
        EXPECT_EQ(glyph.width, 24);
        EXPECT_EQ(glyph.height, 24) << "rows must run bottom-up";
        EXPECT_EQ(glyph.bits, kind.bits);
        EXPECT_EQ(glyph.compression, 0);
        EXPECT_EQ(glyph.coloursUsed, static_cast<uint32_t>(kind.colours));
        ASSERT_EQ(glyph.palette.size(), kind.colours);
        EXPECT_EQ(glyph.colour(0, 23), kind.background);
        // Only one palette entry may carry the background, so nothing drawn turns transparent.
        EXPECT_EQ(glyph.palette.count(kind.background), 1);
        // The decoder must agree with the header about where the bottom-left pixel is.
        EXPECT_EQ(QImage(glyphPath(kind.number)).pixel(0, 23), kind.background);
    }
}

TEST(ResourcesTest, GlyphBackgroundOnlySurroundsTheDrawing) {
    for (const GlyphKind& kind : kGlyphs) {
        SCOPED_TRACE(kind.number);
        const QImage glyph = QImage(glyphPath(kind.number)).convertToFormat(QImage::Format_RGB32);
        // Flood the background in from the border, diagonals included: a background pixel the
        // flood cannot reach is a transparent hole inside the picture.
        QVector<bool> reached(24 * 24, false);
        QVector<QPoint> pending;
        for (int i = 0; i < 24; ++i) {
            pending << QPoint(i, 0) << QPoint(i, 23) << QPoint(0, i) << QPoint(23, i);
        }
        while (!pending.isEmpty()) {
            const QPoint p = pending.takeLast();
            if (p.x() < 0 || p.y() < 0 || p.x() > 23 || p.y() > 23 || reached[p.y() * 24 + p.x()] ||
                glyph.pixel(p) != kind.background) {
                continue;
            }
            reached[p.y() * 24 + p.x()] = true;
            for (int dy = -1; dy <= 1; ++dy) {
                for (int dx = -1; dx <= 1; ++dx) {
                    pending << p + QPoint(dx, dy);
                }
            }
        }
        int drawn = 0;
        for (int y = 0; y < 24; ++y) {
            for (int x = 0; x < 24; ++x) {
                if (glyph.pixel(x, y) != kind.background) {
                    ++drawn;
                } else {
                    EXPECT_TRUE(reached[y * 24 + x]) << "hole at " << x << "," << y;
                }
            }
        }
        EXPECT_GT(drawn, 24 * 24 / 8);
        EXPECT_LT(drawn, 24 * 24 * 7 / 8);
    }
}

TEST(ResourcesTest, NoTwoGlyphsAlike) {
    QVector<QImage> glyphs;
    for (int number = 1; number <= 9; ++number) {
        glyphs << QImage(glyphPath(number)).convertToFormat(QImage::Format_RGB32);
    }
    for (int a = 0; a < glyphs.size(); ++a) {
        for (int b = a + 1; b < glyphs.size(); ++b) {
            EXPECT_NE(glyphs[a], glyphs[b]) << "glyphs " << a + 1 << " and " << b + 1;
        }
    }
}

TEST(ResourcesTest, ZoomGlyphsShareOnePaletteAndDifferOnlyInsideTheLens) {
    const Bitmap first = parseBmp(resourceBytes(glyphPath(6)));
    // The lens is a disc of radius 6 around (10, 10); glass rim and handle lie outside it.
    const auto insideLens = [](int x, int y) {
        return std::hypot(x + 0.5 - 10.0, y + 0.5 - 10.0) < 6.0;
    };
    for (int number = 7; number <= 9; ++number) {
        SCOPED_TRACE(number);
        const Bitmap other = parseBmp(resourceBytes(glyphPath(number)));
        EXPECT_EQ(other.palette, first.palette);
        int differing = 0;
        for (int y = 0; y < 24; ++y) {
            for (int x = 0; x < 24; ++x) {
                if (other.index(x, y) != first.index(x, y)) {
                    ++differing;
                    EXPECT_TRUE(insideLens(x, y)) << "differs at " << x << "," << y;
                }
            }
        }
        EXPECT_GT(differing, 0);
    }
}

TEST(ResourcesTest, IconsAreIndexedImagesWithAMaskThatQtHonours) {
    struct IconKind {
        const char* path;
        int size;
    };
    for (const IconKind& kind : {IconKind{":/icon/pelloran.ico", 32}, {":/about/HELP.ico", 48}}) {
        SCOPED_TRACE(kind.path);
        const Bitmap icon = parseIco(resourceBytes(QString::fromLatin1(kind.path)), kind.size);
        EXPECT_EQ(icon.width, kind.size);
        EXPECT_EQ(icon.height, kind.size);
        EXPECT_EQ(icon.bits, 8);
        EXPECT_EQ(icon.palette.size(), 256);
        const QImage decoded =
            QImage(QString::fromLatin1(kind.path)).convertToFormat(QImage::Format_ARGB32);
        ASSERT_EQ(decoded.size(), QSize(kind.size, kind.size));
        int transparent = 0;
        for (int y = 0; y < kind.size; ++y) {
            for (int x = 0; x < kind.size; ++x) {
                const bool hidden = icon.transparent(x, y);
                transparent += hidden ? 1 : 0;
                ASSERT_EQ(qAlpha(decoded.pixel(x, y)), hidden ? 0 : 255) << x << "," << y;
                if (!hidden) {
                    EXPECT_EQ(decoded.pixel(x, y), icon.colour(x, y) | 0xff000000u);
                }
            }
        }
        EXPECT_TRUE(icon.transparent(0, 0)) << "a corner shows what lies behind";
        EXPECT_FALSE(icon.transparent(kind.size / 2, kind.size / 2));
        EXPECT_GT(transparent, kind.size * kind.size / 10);
        EXPECT_LT(transparent, kind.size * kind.size * 9 / 10);
    }
}

// Menus and file managers show the installed icons, the task bar the window's icon: one
// picture. The 32-pixel PNG is the window icon pixel for pixel; every other size, and the
// scalable one drawn at 32 pixels, comes close to it (Qt reads SVG with libqt6svg6).
TEST(ResourcesTest, DesktopIconsAreTheWindowIconAtEverySize) {
    const QString folder = QString::fromUtf8(XCR_SOURCE_DIR "/app/resources/icon/");
    const QImage window =
        QImage(QStringLiteral(":/icon/pelloran.ico")).convertToFormat(QImage::Format_ARGB32);
    const QImage desktop(folder + QStringLiteral("pelloran-32.png"));
    EXPECT_EQ(desktop.convertToFormat(QImage::Format_ARGB32), window);

    for (const int size : {16, 22, 24, 48, 64, 128, 256, 0}) {
        SCOPED_TRACE(size);
        // 0 stands for the scalable icon, drawn at 32 pixels.
        QImageReader reader(size == 0 ? folder + QStringLiteral("pelloran.svg")
                                      : folder + QStringLiteral("pelloran-%1.png").arg(size));
        reader.setScaledSize(size == 0 ? QSize(32, 32) : QSize());
        const QImage icon = reader.read();
        ASSERT_FALSE(icon.isNull()) << reader.errorString().toStdString();
        EXPECT_EQ(icon.size(), size == 0 ? QSize(32, 32) : QSize(size, size));
        // Compared at the smaller of the two sizes, so no blur of an enlargement counts.
        const int side = size == 0 ? 32 : std::min(size, 32);
        const auto shrunk = [side](const QImage& image) {
            return image.scaled(side, side, Qt::IgnoreAspectRatio, Qt::SmoothTransformation)
                .convertToFormat(QImage::Format_RGBA8888_Premultiplied);
        };
        const QImage got = shrunk(icon), expected = shrunk(window);
        long difference = 0;
        for (qsizetype i = 0; i < got.sizeInBytes(); ++i) {
            difference += std::abs(got.constBits()[i] - expected.constBits()[i]);
        }
        EXPECT_LT(difference / got.sizeInBytes(), 8) << "mean difference per channel";
    }
}

TEST(ResourcesTest, MavrelIsAnOpaqueTrueColourBitmapOnADarkRedGround) {
    const QByteArray bytes = resourceBytes(QStringLiteral(":/about/MAVREL.bmp"));
    const Bitmap picture = parseBmp(bytes);
    EXPECT_EQ(picture.width, 48);
    EXPECT_EQ(picture.height, 48);
    EXPECT_EQ(picture.bits, 24);
    EXPECT_EQ(picture.compression, 0);
    EXPECT_EQ(bytes.size(), 14 + 40 + 48 * 48 * 3);
    // Corners show the ground: red must dominate, which also catches swapped channels.
    const QImage decoded(QStringLiteral(":/about/MAVREL.bmp"));
    for (const QPoint corner : {QPoint(0, 0), QPoint(47, 0), QPoint(0, 47), QPoint(47, 47)}) {
        const QRgb ground = decoded.pixel(corner);
        EXPECT_GT(qRed(ground), 2 * qGreen(ground));
        EXPECT_GT(qRed(ground), 2 * qBlue(ground));
        EXPECT_LT(qRed(ground), 160) << "a dark red";
    }
}

}  // namespace
}  // namespace xcr
