#include "preview/DrawnSize.h"

#include <gtest/gtest.h>

namespace xcr {
namespace {

TEST(DrawnSizeTest, FittedDrawingTruncatesAndEnlarges) {
    EXPECT_EQ(drawnSize(820, 205, 410, 410, true, true), (DrawnSize{410, 102}));
    EXPECT_EQ(drawnSize(100, 200, 410, 410, true, true), (DrawnSize{205, 410}));
    EXPECT_EQ(drawnSize(50, 50, 410, 410, true, true), (DrawnSize{410, 410}));
    // 3 x 2 in 100 x 100: 100 / 1.5 = 66.67 is cut to 66, not rounded to 67.
    EXPECT_EQ(drawnSize(3, 2, 100, 100, true, true), (DrawnSize{100, 66}));
}

TEST(DrawnSizeTest, FittedDrawingFallsBackToTheOtherSideWhenTooLarge) {
    // Wide picture in a wider control: height limits.
    EXPECT_EQ(drawnSize(200, 100, 500, 100, true, true), (DrawnSize{200, 100}));
    // Tall picture in a taller control: width limits.
    EXPECT_EQ(drawnSize(2, 4, 100, 500, true, true), (DrawnSize{100, 200}));
}

TEST(DrawnSizeTest, StretchedAndNaturalDrawing) {
    EXPECT_EQ(drawnSize(101, 75, 126, 93, true, false), (DrawnSize{126, 93}));
    EXPECT_EQ(drawnSize(0, 0, 410, 410, true, true), (DrawnSize{410, 410}));
    EXPECT_EQ(drawnSize(30, 20, 410, 410, false, false), (DrawnSize{30, 20}));
    EXPECT_EQ(drawnSize(30, 20, 410, 410, false, true), (DrawnSize{30, 20}));
}

}  // namespace
}  // namespace xcr
