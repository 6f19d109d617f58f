#include "archive/paths/SafeName.h"

#include <gtest/gtest.h>

#include "archive/os/Failure.h"

namespace xcr {
namespace {

TEST(SafeNameTest, SeparatorsBecomeUnderscoresAndNothingElseChanges) {
    EXPECT_EQ(safeFileName("wall.bmp"), "/wall.bmp");
    EXPECT_EQ(safeFileName("a:b\\c"), "/a_b_c");
    EXPECT_EQ(safeFileName("../../home/x/.profile"), "/.._.._home_x_.profile");
    EXPECT_EQ(safeFileName(""), "/");
    const std::string high = "\xE4\xF6 \x80\xFF";
    EXPECT_EQ(safeFileName(high), "/" + high);
}

TEST(SafeNameTest, OutputPathJoinsWithoutCleaningAndTheRootDoublesTheSeparator) {
    EXPECT_EQ(extractionOutputPath("/home/u/out", "wall.bmp"), "/home/u/out/wall.bmp");
    EXPECT_EQ(extractionOutputPath("/", "wall.bmp"), "//wall.bmp");
    // Names that merely look like dots stay names of their own.
    EXPECT_EQ(extractionOutputPath("/o", "..."), "/o/...");
    EXPECT_EQ(extractionOutputPath("/o", ".:"), "/o/._");
    EXPECT_EQ(extractionOutputPath("/o", "../x"), "/o/.._x");
}

TEST(SafeNameTest, NamesThatWouldMeanTheFolderOrItsParentAreRefused) {
    for (const std::string name : {"", ".", ".."}) {
        try {
            extractionOutputPath("/o", name);
            FAIL() << "accepted '" << name << "'";
        } catch (const Failure& failure) {
            EXPECT_EQ(std::string(failure.what()), "Cannot create file /o/" + name);
        }
    }
}

}  // namespace
}  // namespace xcr
