#include "platform/ShadowGeometry.h"

#include <gtest/gtest.h>

namespace xcr {
namespace {

TEST(ShadowGeometryTest, StripsLieAlongTheRightAndBottomEdgesAndMeetInTheCorner) {
    const QRect frame(100, 50, 641, 436);
    const ShadowGeometry strips = ShadowGeometry::forFrame(frame);

    EXPECT_EQ(strips.right, QRect(741, 56, 6, 430));
    EXPECT_EQ(strips.bottom, QRect(106, 486, 641, 6));
    // The right strip ends where the bottom strip starts, and both end 6 px past the frame.
    EXPECT_EQ(strips.right.bottom() + 1, strips.bottom.top());
    EXPECT_EQ(strips.right.right(), strips.bottom.right());
    EXPECT_FALSE(strips.right.intersects(frame));
    EXPECT_FALSE(strips.bottom.intersects(frame));
    EXPECT_FALSE(strips.right.intersects(strips.bottom));
}

TEST(ShadowGeometryTest, FrameNoTallerThanTheDepthCastsOnlyTheBottomStrip) {
    for (const int height : {1, 6}) {
        const ShadowGeometry strips = ShadowGeometry::forFrame(QRect(0, 0, 20, height));
        EXPECT_TRUE(strips.right.isEmpty()) << height;
        EXPECT_EQ(strips.bottom, QRect(6, height, 20, 6)) << height;
    }
    const ShadowGeometry none = ShadowGeometry::forFrame(QRect());
    EXPECT_TRUE(none.right.isEmpty());
    EXPECT_TRUE(none.bottom.isEmpty());
}

TEST(ShadowGeometryTest, ClippingKeepsOnlyWhatLiesOnTheDesktop) {
    const QRect desktop(0, 0, 1280, 1024);
    // Right edge of the frame flush with the desktop's: no room for the right strip.
    const ShadowGeometry atEdge =
        ShadowGeometry::forFrame(QRect(1080, 600, 200, 300)).clippedTo(desktop);
    EXPECT_TRUE(atEdge.right.isEmpty());
    EXPECT_EQ(atEdge.bottom, QRect(1086, 900, 194, 6));

    // Bottom strip half below the desktop.
    const ShadowGeometry low =
        ShadowGeometry::forFrame(QRect(10, 20, 100, 1001)).clippedTo(desktop);
    EXPECT_EQ(low.right, QRect(110, 26, 6, 995));
    EXPECT_EQ(low.bottom, QRect(16, 1021, 100, 3));

    const ShadowGeometry inside = ShadowGeometry::forFrame(QRect(10, 20, 100, 100));
    const ShadowGeometry kept = inside.clippedTo(desktop);
    EXPECT_EQ(kept.right, inside.right);
    EXPECT_EQ(kept.bottom, inside.bottom);
}

}  // namespace
}  // namespace xcr
