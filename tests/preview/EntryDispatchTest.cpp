#include "preview/EntryDispatch.h"

#include <gtest/gtest.h>

#include <optional>
#include <stdexcept>

namespace xcr {
namespace {

// The kinds of entries are checked through the window; here the cases it cannot reach.
class EntryDispatchTest : public ::testing::Test {
protected:
    static EntryTable twoEntries() {
        EntryTable::Builder builder;
        builder.add("SOUND.WAV", 0, 1);
        builder.add("broken.bmp", 1, 1);
        return builder.finish({});
    }

    EntryTable entries = twoEntries();
    std::optional<bool> playWav;
    EntryDispatch dispatch{entries, [this](bool enabled) { playWav = enabled; },
                           [](int) { throw std::runtime_error("Bitmap image is not valid"); }};
};

TEST_F(EntryDispatchTest, FailingBitmapLeavesPlayWavDisabled) {
    dispatch.select(0);
    EXPECT_THROW(dispatch.select(1), std::runtime_error);
    EXPECT_EQ(playWav, false);
}

TEST_F(EntryDispatchTest, NoSelectionChangesNothing) {
    dispatch.select(-1);
    dispatch.select(2);
    EXPECT_FALSE(playWav.has_value());
}

}  // namespace
}  // namespace xcr
