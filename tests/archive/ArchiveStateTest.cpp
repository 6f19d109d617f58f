#include <gtest/gtest.h>

#include "archive/format/Directory.h"
#include "archive/format/DisplayName.h"
#include "archive/format/EntryTable.h"
#include "archive/format/internal/ParseDirectory.h"
#include "archive/jobs/ReplacementTable.h"
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

TEST(EntryTableTest, KeepsOrderDuplicatesValuesAndStoredNames) {
    EntryTable::Builder builder;
    builder.add("art\\tex\\wall.bmp", 1000000, 0);
    builder.add("sound\\wall.bmp", 5, 6);
    const EntryTable table = builder.finish({});
    ASSERT_EQ(table.count(), 2);
    EXPECT_EQ(table.displayName(0), "wall.bmp");
    EXPECT_EQ(table.displayName(1), "wall.bmp");
    EXPECT_EQ(table.storedName(0), "art\\tex\\wall.bmp");
    EXPECT_EQ(table.placement(0).offset, 1000000);
    EXPECT_EQ(table.placement(0).size, 0);
    // A save's table shares the names and holds the new places.
    const EntryTable saved = table.withPlacements({{1, 2}, {7, 8}}, {42, 9});
    EXPECT_EQ(saved.names(), table.names());
    EXPECT_EQ(saved.placement(1), (EntryTable::Placement{7, 8}));
    EXPECT_EQ(table.placement(1), (EntryTable::Placement{5, 6}));
    EXPECT_EQ(saved.fingerprint(), (DirectoryFingerprint{42, 9}));
}

// Read from the file, the table must hold what the same bytes give in memory: across
// blocks, with a name that fills its whole field, and with the last record cut short by
// the end of the file.
TEST(EntryTableTest, FilledFromTheFileAsFromItsBytes) {
    test::TempDir dir;
    test::XcrBuilder builder;
    for (int i = 0; i < 2100; ++i) {
        builder.add("d\\e" + std::to_string(i), test::Bytes{});
    }
    builder.add(std::string(256, 'n'), test::Bytes{1});
    builder.add("c:last", test::Bytes{2});
    const std::string path = dir.file("a.xcr");
    const test::Bytes whole = builder.build();
    const test::Bytes bytes = builder.truncateTo(whole.size() - 5 - 532 - 300).writeTo(path);

    const EntryTable fromBytes = internal::parseEntryTable(bytes.data(), bytes.size());
    File archive = File::open(path, File::Access::Read);
    const EntryTable fromFile = readEntryTable(archive);
    ASSERT_EQ(fromFile.count(), 2102);
    EXPECT_EQ(fromFile.displayName(2100), std::string(256, 'n'));
    EXPECT_EQ(fromFile.displayName(2101), "last");
    EXPECT_EQ(fromFile.placement(2101).offset, 0);
    EXPECT_EQ(fromFile.fingerprint(), fromBytes.fingerprint());
    for (int i = 0; i < fromFile.count(); ++i) {
        EXPECT_EQ(fromFile.storedName(i), fromBytes.storedName(i)) << i;
        EXPECT_EQ(fromFile.placement(i), fromBytes.placement(i)) << i;
    }
}

TEST(ReplacementTableTest, LastChoiceCountsInEntryOrderAndClearingForgetsAll) {
    ReplacementTable table;
    table.record(6999, "/tmp/last");
    table.record(1, "/tmp/new.bmp");
    table.record(1, "/tmp/newer.bmp");
    table.record(-1, "/tmp/none");
    EXPECT_TRUE(table.isReplaced(1));
    EXPECT_FALSE(table.isReplaced(0));
    EXPECT_EQ(table.list(), (std::vector<Replacement>{{1, "/tmp/newer.bmp"}, {6999, "/tmp/last"}}));
    table.clear();
    EXPECT_FALSE(table.isReplaced(1));
    EXPECT_TRUE(table.list().empty());
}

}  // namespace
}  // namespace xcr
