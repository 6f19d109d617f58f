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

TEST(HalfToneTest, NeighbouringStripsJoinIntoOnePattern) {
    // Parts half-toned on their own give the pixels of the whole area half-toned at once:
    // the pattern follows the screen, not the strip.
    QImage whole(17, 11, QImage::Format_RGB32);
    for (int y = 0; y < whole.height(); ++y) {
        for (int x = 0; x < whole.width(); ++x) {
            whole.setPixel(x, y, qRgb(x * 37 % 256, y * 53 % 256, (x * y + 91) % 256));
        }
    }
    const QPoint origin(101, 57);
    const QImage expected = halfTone(whole, origin, kShadow);
    for (const QRect part : {QRect(0, 0, 6, 11), QRect(6, 0, 11, 11), QRect(3, 5, 9, 6)}) {
        EXPECT_EQ(halfTone(whole.copy(part), origin + part.topLeft(), kShadow), expected.copy(part))
            << part.x() << "," << part.y();
    }
}

TEST(HalfToneTest, DarkPixelsAreTheBackgroundAndedWithTheShadowInAnyPixelFormat) {
    const QImage out = halfTone(filled(2, 1, qRgb(0x3c, 0x5a, 0xf0)), {}, qRgb(0xa0, 0xa0, 0xa0));
    EXPECT_EQ(out.pixel(0, 0), qRgb(0x3c, 0x5a, 0xf0));
    EXPECT_EQ(out.pixel(1, 0), qRgb(0x20, 0x00, 0xa0));

    const QRgb colour = qRgb(0x80, 0xff, 0x0f);
    for (const QImage::Format format :
         {QImage::Format_RGB888, QImage::Format_ARGB32, QImage::Format_RGB16}) {
        const QImage other = halfTone(filled(2, 2, colour, format), {}, kShadow);
        const QRgb behind = filled(1, 1, colour, format).pixel(0, 0);
        EXPECT_EQ(other.pixel(0, 0), behind) << format;
        EXPECT_EQ(other.pixel(1, 0), behind & kShadow) << format;
        EXPECT_EQ(qAlpha(other.pixel(1, 1)), 255) << format;
    }
}

}  // namespace
}  // namespace xcr
