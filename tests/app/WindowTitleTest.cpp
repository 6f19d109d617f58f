#include "app/WindowTitle.h"

#include <gtest/gtest.h>

namespace xcr {
namespace {

TEST(WindowTitleTest, NamesTheArchiveFile) {
    EXPECT_EQ(archiveWindowTitle("/home/u/games/data.xcr"), "Pelloran Plus 3 - data.xcr");
    EXPECT_EQ(archiveWindowTitle("C:\\games\\data.xcr"), "Pelloran Plus 3 - data.xcr");
    EXPECT_EQ(archiveWindowTitle("data.xcr"), "Pelloran Plus 3 - data.xcr");
}

}  // namespace
}  // namespace xcr
