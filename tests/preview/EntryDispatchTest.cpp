#include "preview/EntryDispatch.h"

#include <gtest/gtest.h>

#include <optional>
#include <stdexcept>

namespace xcr {
namespace {

class EntryDispatchTest : public ::testing::Test {
protected:
    EntryDispatchTest() {
        entries.assign({{"sfx\\SOUND.WAV", 0, 1},
                        {"intro.Bmp", 1, 1},
                        {"readme.txt", 2, 1},
                        {"broken.bmp", 3, 1}});
    }

    EntryTable entries;
    std::optional<bool> playWav;
    std::vector<int> shown;
    EntryDispatch dispatch{entries, [this](bool enabled) { playWav = enabled; },
                           [this](int index) {
                               if (index == 3) {
                                   throw std::runtime_error("Bitmap image is not valid");
                               }
                               shown.push_back(index);
                           }};
};

TEST_F(EntryDispatchTest, WaveEnablesPlayWavAndShowsNothing) {
    dispatch.select(0);
    EXPECT_EQ(playWav, true);
    EXPECT_TRUE(shown.empty());
}

TEST_F(EntryDispatchTest, BitmapDisablesPlayWavAndIsShown) {
    dispatch.select(0);
    dispatch.select(1);
    EXPECT_EQ(playWav, false);
    EXPECT_EQ(shown, std::vector<int>{1});
}

TEST_F(EntryDispatchTest, OtherEntryDisablesPlayWavAndKeepsThePicture) {
    dispatch.select(0);
    dispatch.select(2);
    EXPECT_EQ(playWav, false);
    EXPECT_TRUE(shown.empty());
}

TEST_F(EntryDispatchTest, FailingBitmapLeavesPlayWavDisabled) {
    dispatch.select(0);
    EXPECT_THROW(dispatch.select(3), std::runtime_error);
    EXPECT_EQ(playWav, false);
}

TEST_F(EntryDispatchTest, NoSelectionChangesNothing) {
    dispatch.select(-1);
    dispatch.select(4);
    EXPECT_FALSE(playWav.has_value());
    EXPECT_TRUE(shown.empty());
}

}  // namespace
}  // namespace xcr
