#include "preview/BitmapLoader.h"

#include <gtest/gtest.h>

#include <cstdlib>

#include "tests/preview/BmpBytes.h"
#include "tests/support/FailureText.h"

namespace xcr {
namespace {

using test::BmpKind;

// Three pixels a row, so most depths need row padding.
const test::Picture kColours{3,
                             2,
                             {qRgb(255, 0, 0), qRgb(0, 255, 0), qRgb(0, 0, 255),
                              qRgb(255, 255, 255), qRgb(0, 0, 0), qRgb(255, 255, 0)}};
const test::Picture kTwoColours{3,
                                2,
                                {qRgb(0, 0, 0), qRgb(255, 255, 255), qRgb(0, 0, 0),
                                 qRgb(255, 255, 255), qRgb(255, 255, 255), qRgb(0, 0, 0)}};

class BitmapLoaderTest : public ::testing::Test {
protected:
    QImage load(const test::Bytes& bytes) {
        test::writeFileBytes(dir.file("temp.bmp"), bytes);
        return loadBitmapFile(dir.file("temp.bmp"));
    }

    std::string failureOf(const test::Bytes& bytes) {
        return test::failureText([&] { load(bytes); });
    }

    test::TempDir dir;
};

// 5-bit and 6-bit channels are widened by the decoder's own scaling, so those may differ slightly.
void expectPixels(const QImage& image, const test::Picture& picture, int tolerance) {
    ASSERT_EQ(image.size(), QSize(picture.width, picture.height));
    for (int y = 0; y < picture.height; ++y) {
        for (int x = 0; x < picture.width; ++x) {
            const QRgb got = image.pixel(x, y);
            const QRgb want = picture.at(x, y);
            EXPECT_LE(std::abs(qRed(got) - qRed(want)), tolerance) << x << "," << y;
            EXPECT_LE(std::abs(qGreen(got) - qGreen(want)), tolerance) << x << "," << y;
            EXPECT_LE(std::abs(qBlue(got) - qBlue(want)), tolerance) << x << "," << y;
        }
    }
}

TEST_F(BitmapLoaderTest, DecodesEveryDepthCompressionAndRowOrder) {
    expectPixels(load(test::bmpBytes(kTwoColours, BmpKind::Bits1)), kTwoColours, 0);
    for (BmpKind kind :
         {BmpKind::Bits4, BmpKind::Rle4, BmpKind::Bits8, BmpKind::Rle8, BmpKind::Bits24,
          BmpKind::Bits24TopDown, BmpKind::Bits32, BmpKind::Bits32V5BitFields}) {
        SCOPED_TRACE(static_cast<int>(kind));
        expectPixels(load(test::bmpBytes(kColours, kind)), kColours, 0);
    }
    for (BmpKind kind : {BmpKind::Bits16, BmpKind::Bits16BitFields}) {
        SCOPED_TRACE(static_cast<int>(kind));
        expectPixels(load(test::bmpBytes(kColours, kind)), kColours, 8);
    }
}

TEST_F(BitmapLoaderTest, EmptyFileIsAnEmptyPicture) {
    const QImage image = load({});
    EXPECT_EQ(image.width(), 0);
    EXPECT_EQ(image.height(), 0);
}

TEST_F(BitmapLoaderTest, FailuresCarryTheirTexts) {
    EXPECT_EQ(failureOf(test::bytesOf("GIF89a, not a bitmap at all")), "Bitmap image is not valid");
    EXPECT_EQ(failureOf(test::bytesOf("BM short")), "Stream read error");
    test::Bytes unknownCompression = test::bmpBytes(kColours, BmpKind::Bits24);
    test::putNumber(unknownCompression, 30, 9);
    EXPECT_EQ(failureOf(unknownCompression), "Bitmap image is not valid");
}

}  // namespace
}  // namespace xcr
