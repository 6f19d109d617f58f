#include "preview/ZoomState.h"

#include <gtest/gtest.h>

#include <limits>
#include <utility>
#include <vector>

namespace xcr {
namespace {

ImageFrame frameOf(int left, int top, int width, int height, bool stretch, bool proportional) {
    return ImageFrame{left, top, width, height, stretch, proportional};
}

// One command given to the state; x and y are the picture size or the mouse position.
struct Command {
    enum Kind { Load, In, Out, Fit, OneToOne, Press, Release } kind;
    int x = 0;
    int y = 0;
};

void apply(ZoomState& state, const Command& command) {
    switch (command.kind) {
        case Command::Load:
            return state.pictureLoaded(command.x, command.y);
        case Command::In:
            return state.zoomIn();
        case Command::Out:
            return state.zoomOut();
        case Command::Fit:
            return state.fitToWindow();
        case Command::OneToOne:
            return state.zoomOneToOne();
        case Command::Press:
            return state.press(command.x, command.y);
        case Command::Release:
            return state.release(command.x, command.y);
    }
}

TEST(ZoomStateTest, CommandsLeaveTheirFrameAndLevel) {
    using enum Command::Kind;
    struct Sequence {
        const char* what;
        std::vector<Command> commands;  // given to a fresh state, in order
        ImageFrame frame;
        int zoomLevel;
    };
    const Sequence sequences[] = {
        {"nothing yet", {}, frameOf(0, 0, 0, 0, false, false), 0},
        {"zoom out before any picture", {{Out}}, frameOf(0, 0, 0, 0, false, false), 0},
        {"zoom in before any picture", {{In}}, frameOf(0, 0, 0, 0, false, false), 1},
        {"ten zoom-ins before any picture", std::vector<Command>(10, {In}),
         frameOf(0, 0, 0, 0, false, false), 8},
        {"fit before any picture", {{Fit}}, frameOf(0, 0, 410, 410, true, true), 0},
        {"1:1 after fit before any picture",
         {{In}, {Fit}, {OneToOne}},
         frameOf(0, 0, 0, 0, true, true),
         4},
        {"loaded after a drag and a zoom: 1:1, stretched, at the corner",
         {{Release, 5, 5}, {In}, {Load, 101, 75}},
         frameOf(0, 0, 101, 75, true, false),
         4},
        {"zoom keeps the position and the drawing flags",
         {{Load, 100, 100}, {Fit}, {Press, 0, 0}, {Release, -7, 9}, {In}},
         frameOf(-7, 9, 125, 125, true, true),
         5},
        {"fit fills the area from the corner and keeps the level",
         {{Load, 30, 60}, {Out}, {Press, 0, 0}, {Release, 15, 15}, {Fit}},
         frameOf(0, 0, 410, 410, true, true),
         3},
        {"1:1 after fit keeps fitted drawing",
         {{Load, 30, 60}, {In}, {Fit}, {OneToOne}},
         frameOf(0, 0, 30, 60, true, true),
         4},
    };
    for (const auto& sequence : sequences) {
        ZoomState state;
        for (const auto& command : sequence.commands) {
            apply(state, command);
        }
        EXPECT_EQ(state.frame(), sequence.frame) << sequence.what;
        EXPECT_EQ(state.zoomLevel(), sequence.zoomLevel) << sequence.what;
    }
}

TEST(ZoomStateTest, LoadedPictureKeepsItsNaturalSize) {
    ZoomState state;
    state.pictureLoaded(101, 75);
    state.zoomIn();
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
