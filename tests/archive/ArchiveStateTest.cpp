#include <gtest/gtest.h>

#include "archive/Directory.h"
#include "archive/DisplayName.h"
#include "archive/EntryTable.h"
#include "archive/ReplacementTable.h"
#include "tests/support/XcrBuilder.h"

namespace xcr {
namespace {

TEST(DisplayNameTest, FinalComponentAfterBackslashOrColon) {
    EXPECT_EQ(displayName("art\\tex\\wall.bmp"), "wall.bmp");
    EXPECT_EQ(displayName("sound\\wall.bmp"), "wall.bmp");
    EXPECT_EQ(displayName("c:readme"), "readme");
    EXPECT_EQ(displayName("plain.txt"), "plain.txt");
    EXPECT_EQ(displayName(""), "");
    EXPECT_EQ(displayName("dir\\"), "");
    // A slash is no separator inside a stored name: the name stays whole here.
    EXPECT_EQ(displayName("../../x/.profile"), "../../x/.profile");
}

TEST(DisplayNameTest, WindowTitleNamesTheArchiveFile) {
    EXPECT_EQ(archiveWindowTitle("/home/u/games/data.xcr"), "Pelloran Plus 3 - data.xcr");
    EXPECT_EQ(archiveWindowTitle("C:\\games\\data.xcr"), "Pelloran Plus 3 - data.xcr");
    EXPECT_EQ(archiveWindowTitle("data.xcr"), "Pelloran Plus 3 - data.xcr");
}

TEST(EntryTableTest, KeepsOrderDuplicatesAndValues) {
    EntryTable table;
    table.assign({{"art\\tex\\wall.bmp", 1000000, 0}, {"sound\\wall.bmp", 5, 6}});
    ASSERT_EQ(table.count(), 2);
    EXPECT_EQ(table.displayName(0), "wall.bmp");
    EXPECT_EQ(table.displayName(1), "wall.bmp");
    EXPECT_EQ(table.placement(0).offset, 1000000);
    EXPECT_EQ(table.placement(0).size, 0);
    table.setPlacement(1, {7, 8});
    EXPECT_EQ(table.placement(1).offset, 7);
    table.clear();
    EXPECT_EQ(table.count(), 0);
}

// Read straight from the file, the table must hold what it holds when filled from the
// listed records: across blocks, with a name that fills its whole field, and with the
// last record cut short by the end of the file.
TEST(EntryTableTest, FilledFromTheFileAsFromItsRecords) {
    test::TempDir dir;
    test::XcrBuilder builder;
    for (int i = 0; i < 2100; ++i) {
        builder.add("d\\e" + std::to_string(i), test::Bytes{});
    }
    builder.add(std::string(256, 'n'), test::Bytes{1});
    builder.add("c:last", test::Bytes{2});
    const std::string path = dir.file("a.xcr");
    const test::Bytes whole = builder.build();
    builder.truncateTo(whole.size() - 5 - 532 - 300).writeTo(path);

    EntryTable fromRecords;
    fromRecords.assign(readDirectory(path));
    EntryTable fromFile;
    File archive = File::open(path, File::Access::Read);
    fromFile.assign(archive);
    ASSERT_EQ(fromFile.count(), 2102);
    EXPECT_EQ(fromFile.displayNames(), fromRecords.displayNames());
    EXPECT_EQ(fromFile.displayName(2100), std::string(256, 'n'));
    EXPECT_EQ(fromFile.displayName(2101), "last");
    EXPECT_EQ(fromFile.placement(2101).offset, 0);
    for (int i = 0; i < fromFile.count(); ++i) {
        EXPECT_EQ(fromFile.placement(i).offset, fromRecords.placement(i).offset) << i;
        EXPECT_EQ(fromFile.placement(i).size, fromRecords.placement(i).size) << i;
    }
}

TEST(ReplacementTableTest, ResetClearsFlagsButKeepsPathsAndGrows) {
    ReplacementTable table;
    table.resetFor(3);
    table.record(1, "/tmp/new.bmp");
    EXPECT_TRUE(table.isReplaced(1));
    EXPECT_FALSE(table.isReplaced(0));
    table.resetFor(7000);
    EXPECT_FALSE(table.isReplaced(1));
    EXPECT_EQ(table.path(1), "/tmp/new.bmp");
    // Large archives are covered beyond 5001 slots.
    table.record(6999, "/tmp/last");
    EXPECT_TRUE(table.isReplaced(6999));
    EXPECT_FALSE(table.isReplaced(7000));
    EXPECT_FALSE(table.isReplaced(-1));
}

}  // namespace
}  // namespace xcr
