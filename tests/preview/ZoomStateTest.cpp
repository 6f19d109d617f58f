#include "preview/ZoomState.h"

#include <gtest/gtest.h>

#include <limits>
#include <utility>

namespace xcr {
namespace {

ImageFrame frameOf(int left, int top, int width, int height, bool stretch, bool proportional) {
    return ImageFrame{left, top, width, height, stretch, proportional};
}

TEST(ZoomStateTest, LoadedPictureIsOneToOneStretchedAtTheCorner) {
    ZoomState state;
    state.release(5, 5);
    state.zoomIn();
    state.pictureLoaded(101, 75);
    EXPECT_EQ(state.frame(), frameOf(0, 0, 101, 75, true, false));
    EXPECT_EQ(state.zoomLevel(), 4);
    EXPECT_EQ(std::pair(state.naturalWidth(), state.naturalHeight()), std::pair(101, 75));
}

TEST(ZoomStateTest, EveryLevelTruncatesTheScaledSize) {
    const std::pair<int, int> sizes[] = {{25, 18},  {50, 37},   {75, 56},   {101, 75},
                                         {126, 93}, {151, 112}, {176, 131}, {202, 150}};
    ZoomState state;
    state.pictureLoaded(101, 75);
    for (int i = 0; i < 3; ++i) {
        state.zoomOut();
    }
    for (int level = 1; level <= 8; ++level) {
        EXPECT_EQ(state.zoomLevel(), level);
        EXPECT_EQ(std::pair(state.frame().width, state.frame().height), sizes[level - 1]);
        state.zoomIn();
    }
}

TEST(ZoomStateTest, LevelsStopAtOneAndEight) {
    ZoomState state;
    state.pictureLoaded(40, 40);
    for (int i = 0; i < 5; ++i) {
        state.zoomIn();
    }
    EXPECT_EQ(state.zoomLevel(), 8);
    EXPECT_EQ(state.frame().width, 80);
    for (int i = 0; i < 10; ++i) {
        state.zoomOut();
    }
    EXPECT_EQ(state.zoomLevel(), 1);
    EXPECT_EQ(state.frame().width, 10);
}

TEST(ZoomStateTest, ZoomKeepsPositionAndDrawingFlags) {
    ZoomState state;
    state.pictureLoaded(100, 100);
    state.fitToWindow();
    state.press(0, 0);
    state.release(-7, 9);
    state.zoomIn();
    EXPECT_EQ(state.frame(), frameOf(-7, 9, 125, 125, true, true));
    EXPECT_EQ(state.zoomLevel(), 5);
}

TEST(ZoomStateTest, FitFillsTheAreaAndKeepsTheLevel) {
    ZoomState state;
    state.pictureLoaded(30, 60);
    state.zoomOut();
    state.press(0, 0);
    state.release(15, 15);
    state.fitToWindow();
    EXPECT_EQ(state.frame(), frameOf(0, 0, 410, 410, true, true));
    EXPECT_EQ(state.zoomLevel(), 3);
}

TEST(ZoomStateTest, OneToOneAfterFitKeepsFittedDrawing) {
    ZoomState state;
    state.pictureLoaded(30, 60);
    state.zoomIn();
    state.fitToWindow();
    state.zoomOneToOne();
    EXPECT_EQ(state.frame(), frameOf(0, 0, 30, 60, true, true));
    EXPECT_EQ(state.zoomLevel(), 4);
}

TEST(ZoomStateTest, BeforeAnyPicture) {
    ZoomState state;
    EXPECT_EQ(state.frame(), frameOf(0, 0, 0, 0, false, false));
    EXPECT_EQ(state.zoomLevel(), 0);
    state.zoomOut();
    EXPECT_EQ(state.zoomLevel(), 0);
    state.zoomIn();
    EXPECT_EQ(state.zoomLevel(), 1);
    for (int i = 0; i < 9; ++i) {
        state.zoomIn();
    }
    EXPECT_EQ(state.zoomLevel(), 8);
    EXPECT_EQ(state.frame(), frameOf(0, 0, 0, 0, false, false));
    state.fitToWindow();
    EXPECT_EQ(state.frame(), frameOf(0, 0, 410, 410, true, true));
    state.zoomOneToOne();
    EXPECT_EQ(state.frame(), frameOf(0, 0, 0, 0, true, true));
    EXPECT_EQ(state.zoomLevel(), 4);
}

TEST(ZoomStateTest, DragMovesOnReleaseByTheDistanceFromTheLastPress) {
    ZoomState state;
    state.pictureLoaded(50, 50);
    state.press(10, 40);
    state.release(60, 10);
    EXPECT_EQ(std::pair(state.frame().left, state.frame().top), std::pair(50, -30));
    // The anchor stays: a second release alone moves again from the same press.
    state.release(60, 10);
    EXPECT_EQ(std::pair(state.frame().left, state.frame().top), std::pair(100, -60));
    EXPECT_EQ(std::pair(state.frame().width, state.frame().height), std::pair(50, 50));
}

TEST(ZoomStateTest, DragHasNoBoundsButDoesNotWrap) {
    ZoomState state;
    state.press(std::numeric_limits<int>::min(), 0);
    state.release(std::numeric_limits<int>::max(), 0);
    state.release(std::numeric_limits<int>::max(), 0);
    EXPECT_EQ(state.frame().left, std::numeric_limits<int>::max());
}

}  // namespace
}  // namespace xcr
