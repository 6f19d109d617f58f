#include "preview/BmpHeaderCheck.h"

#include <gtest/gtest.h>

#include "tests/preview/BmpBytes.h"

namespace xcr {
namespace {

using test::Bytes;

BmpHeaderCheck check(const Bytes& bytes) {
    return checkBmpHeader(bytes.data(), bytes.size());
}

Bytes eightBit() {
    const test::Picture picture{2, 1, {qRgb(255, 0, 0), qRgb(0, 0, 255)}};
    return test::bmpBytes(picture, test::BmpKind::Bits8);
}

TEST(BmpHeaderCheckTest, EmptyDataIsAnEmptyPicture) {
    EXPECT_EQ(checkBmpHeader(nullptr, 0), BmpHeaderCheck::Empty);
}

TEST(BmpHeaderCheckTest, DataEndingInsideTheFileHeaderIsAReadErrorEvenWithoutBM) {
    for (const Bytes& bytes : {Bytes{'B'}, Bytes{'x', 'y', 'z'}, Bytes(13, 'B')}) {
        EXPECT_EQ(check(bytes), BmpHeaderCheck::Truncated) << bytes.size();
    }
}

TEST(BmpHeaderCheckTest, MissingSignatureOrPlaneCountOtherThanOneIsNotValid) {
    Bytes noSignature = eightBit();
    noSignature[1] = 'A';
    EXPECT_EQ(check(noSignature), BmpHeaderCheck::NotValid);
    for (unsigned char planes : {0, 2}) {
        Bytes bytes = eightBit();
        bytes[test::kPlanesAt] = planes;
        EXPECT_EQ(check(bytes), BmpHeaderCheck::NotValid) << int{planes};
    }
    Bytes unknownHeader = eightBit();
    test::putNumber(unknownHeader, 14, 20);
    EXPECT_EQ(check(unknownHeader), BmpHeaderCheck::NotValid);
}

TEST(BmpHeaderCheckTest, DataEndingInsideTheInfoHeaderOrColourTableIsAReadError) {
    const Bytes whole = eightBit();
    for (std::size_t length : {std::size_t{14}, std::size_t{20}, test::kPaletteAt - 1,
                               test::kPaletteAt, test::kPaletteAt + 7}) {
        EXPECT_EQ(check(Bytes(whole.begin(), whole.begin() + length)), BmpHeaderCheck::Truncated)
            << length;
    }
}

TEST(BmpHeaderCheckTest, PixelsAreLeftToTheDecoder) {
    const Bytes whole = eightBit();
    EXPECT_EQ(check(whole), BmpHeaderCheck::Valid);
    EXPECT_EQ(check(Bytes(whole.begin(), whole.begin() + test::kPaletteAt + 8)),
              BmpHeaderCheck::Valid);
}

TEST(BmpHeaderCheckTest, HostileColourCountIsATruncationNotAnOverflow) {
    Bytes bytes = eightBit();
    test::putNumber(bytes, 46, -1);
    EXPECT_EQ(check(bytes), BmpHeaderCheck::Truncated);
}

TEST(BmpHeaderCheckTest, BitFieldMasksAreReadBeforeThePixels) {
    const test::Picture picture{1, 1, {qRgb(255, 0, 0)}};
    const Bytes whole = test::bmpBytes(picture, test::BmpKind::Bits16BitFields);
    EXPECT_EQ(check(whole), BmpHeaderCheck::Valid);
    EXPECT_EQ(check(Bytes(whole.begin(), whole.begin() + test::kPaletteAt + 11)),
              BmpHeaderCheck::Truncated);
}

TEST(BmpHeaderCheckTest, OldCoreHeaderHasItsPlanesAndThreeByteColours) {
    Bytes bytes(14 + 12 + 2 * 3 + 4, 0);
    bytes[0] = 'B';
    bytes[1] = 'M';
    test::putNumber(bytes, 14, 12);
    bytes[18] = 1;  // width
    bytes[20] = 1;  // height
    bytes[22] = 1;  // planes
    bytes[24] = 1;  // bits
    EXPECT_EQ(check(bytes), BmpHeaderCheck::Valid);
    EXPECT_EQ(check(Bytes(bytes.begin(), bytes.begin() + 31)), BmpHeaderCheck::Truncated);
    bytes[22] = 3;
    EXPECT_EQ(check(bytes), BmpHeaderCheck::NotValid);
}

TEST(BmpHeaderCheckTest, ZeroWidthOrHeightIsAnEmptyPicture) {
    for (std::size_t at : {std::size_t{18}, std::size_t{22}}) {
        Bytes bytes = eightBit();
        test::putNumber(bytes, at, 0);
        EXPECT_EQ(check(bytes), BmpHeaderCheck::Empty) << at;
    }
}

}  // namespace
}  // namespace xcr
