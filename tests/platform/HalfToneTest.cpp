#include "platform/HalfTone.h"

#include <gtest/gtest.h>

#include <QColor>
#include <QImage>

namespace xcr {
namespace {

constexpr QRgb kShadow = 0xff808080;

QImage filled(int width, int height, QRgb colour, QImage::Format format = QImage::Format_RGB32) {
    QImage image(width, height, format);
    image.fill(QColor::fromRgb(colour));
    return image;
}

// Every pixel a different colour, so a pixel taken from the wrong place shows.
QImage gradient(int width, int height) {
    QImage image(width, height, QImage::Format_RGB32);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            image.setPixel(x, y, qRgb(x * 37 % 256, y * 53 % 256, (x * y + 91) % 256));
        }
    }
    return image;
}

TEST(HalfToneTest, DarkensPixelsWhoseScreenColumnAndRowDifferInParity) {
    const QImage white = filled(4, 4, 0xffffffff);
    struct Case {
        QPoint origin;
        bool firstPixelDark;
    };
    for (const Case& c : {Case{{0, 0}, false}, Case{{3, 0}, true}, Case{{0, 7}, true},
                          Case{{3, 5}, false}, Case{{-1, 0}, true}, Case{{-3, -5}, false}}) {
        const QImage out = halfTone(white, c.origin, kShadow);
        ASSERT_EQ(out.size(), white.size());
        for (int y = 0; y < out.height(); ++y) {
            for (int x = 0; x < out.width(); ++x) {
                const bool dark = c.firstPixelDark != ((x + y) % 2 == 1);
                EXPECT_EQ(out.pixel(x, y), dark ? kShadow : 0xffffffffu)
                    << c.origin.x() << "," << c.origin.y() << " at " << x << "," << y;
            }
        }
    }
}

TEST(HalfToneTest, DarkPixelsAreTheBackgroundAndedWithTheShadowColour) {
    const QImage behind = filled(2, 1, qRgb(0x3c, 0x5a, 0xf0));
    const QImage out = halfTone(behind, QPoint(0, 0), qRgb(0xa0, 0xa0, 0xa0));
    EXPECT_EQ(out.pixel(0, 0), qRgb(0x3c, 0x5a, 0xf0));
    EXPECT_EQ(out.pixel(1, 0), qRgb(0x20, 0x00, 0xa0));

    const QImage coloured =
        halfTone(filled(2, 1, 0xffffffff), QPoint(1, 0), qRgb(0x12, 0x34, 0x56));
    EXPECT_EQ(coloured.pixel(0, 0), qRgb(0x12, 0x34, 0x56));
    EXPECT_EQ(coloured.pixel(1, 0), 0xffffffffu);
}

TEST(HalfToneTest, NeighbouringStripsJoinIntoOnePattern) {
    // Half-toning two parts of the screen on their own must give the same pixels as
    // half-toning the whole area at once: the pattern follows the screen, not the strip.
    const QPoint origin(101, 57);
    const QImage whole = gradient(17, 11);
    const QImage expected = halfTone(whole, origin, kShadow);
    for (const QRect part :
         {QRect(0, 0, 6, 11), QRect(6, 0, 11, 11), QRect(3, 5, 9, 6), QRect(11, 1, 6, 3)}) {
        const QImage out = halfTone(whole.copy(part), origin + part.topLeft(), kShadow);
        EXPECT_EQ(out, expected.copy(part))
            << part.x() << "," << part.y() << " " << part.width() << "x" << part.height();
    }
}

TEST(HalfToneTest, AcceptsOtherPixelFormatsAndGivesOpaquePixels) {
    const QRgb colour = qRgb(0x80, 0xff, 0x0f);
    for (const QImage::Format format :
         {QImage::Format_RGB888, QImage::Format_ARGB32, QImage::Format_RGB16}) {
        const QImage out = halfTone(filled(2, 2, colour, format), QPoint(0, 0), kShadow);
        ASSERT_EQ(out.size(), QSize(2, 2)) << format;
        const QRgb expected = filled(1, 1, colour, format).pixel(0, 0);
        EXPECT_EQ(out.pixel(0, 0), expected) << format;
        EXPECT_EQ(out.pixel(1, 0), expected & kShadow) << format;
        EXPECT_EQ(qAlpha(out.pixel(1, 1)), 255) << format;
    }
}

TEST(HalfToneTest, NullImageGivesNullImage) {
    EXPECT_TRUE(halfTone(QImage(), QPoint(3, 4), kShadow).isNull());
}

}  // namespace
}  // namespace xcr
