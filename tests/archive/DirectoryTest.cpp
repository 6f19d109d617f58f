#include "archive/Directory.h"

#include <gtest/gtest.h>

#include "archive/Failure.h"
#include "archive/XcrLayout.h"
#include "tests/support/XcrBuilder.h"

namespace xcr {
namespace {

using test::Bytes;
using test::XcrBuilder;

std::vector<DirectoryRecord> parse(const Bytes& bytes) {
    return parseDirectory(bytes.data(), bytes.size());
}

TEST(NumberTest, FourBytesLittleEndianReadAsSigned) {
    unsigned char field[4];
    layout::writeNumber(field, 1000000);
    EXPECT_EQ(Bytes(field, field + 4), (Bytes{0x40, 0x42, 0x0F, 0x00}));
    layout::writeNumber(field, -2);
    EXPECT_EQ(Bytes(field, field + 4), (Bytes{0xFE, 0xFF, 0xFF, 0xFF}));
    for (const std::int32_t value : {0, 1000000, 0x7FFFFFFF, -1, INT32_MIN}) {
        layout::writeNumber(field, value);
        EXPECT_EQ(layout::readNumber(field), value);
    }
}

TEST(DirectoryTest, ListsAllButTheLastDeclaredRecord) {
    XcrBuilder builder;
    builder.add("art\\a.bmp", "AAAA")
        .add("b.wav", "BB")
        .trailingRecord("hidden", test::bytesOf("ZZ"));
    const auto records = parse(builder.build());
    ASSERT_EQ(records.size(), 2u);
    EXPECT_EQ(records[0].rawName, "art\\a.bmp");
    EXPECT_EQ(records[0].offset, builder.offsets()[0]);
    EXPECT_EQ(records[0].size, 4);
    EXPECT_EQ(records[1].rawName, "b.wav");
    EXPECT_EQ(records[1].size, 2);
}

TEST(DirectoryTest, CountsOfOneZeroOrNegativeListNothing) {
    for (const std::int32_t count : {1, 0, -1, -2147483647 - 1}) {
        const auto bytes = XcrBuilder().add("a", "x").declaredCount(count).build();
        EXPECT_TRUE(parse(bytes).empty()) << count;
    }
}

TEST(DirectoryTest, CountOfThreeReadsRecordsAt284And816) {
    const auto bytes = XcrBuilder().add("one", "1").add("two", "22").build();
    ASSERT_EQ(test::numberAt(bytes, 20), 3);
    const auto records = parse(bytes);
    ASSERT_EQ(records.size(), 2u);
    EXPECT_EQ(test::numberAt(bytes, 816 + 260), 2);
    EXPECT_EQ(records[1].size, 2);
}

TEST(DirectoryTest, NameOf255BytesReadsWholeAndOffsetStillComesFromItsField) {
    const std::string name(255, 'n');
    XcrBuilder builder;
    builder.add(name, "data");
    const auto records = parse(builder.build());
    ASSERT_EQ(records.size(), 1u);
    EXPECT_EQ(records[0].rawName, name);
    EXPECT_EQ(records[0].offset, builder.offsets()[0]);
}

TEST(DirectoryTest, NameFieldWithoutZeroByteGivesItsOwn256Bytes) {
    Bytes bytes = XcrBuilder().add("x", "data").build();
    std::fill(bytes.begin() + 284, bytes.begin() + 284 + 256, 'q');
    const auto records = parse(bytes);
    ASSERT_EQ(records.size(), 1u);
    EXPECT_EQ(records[0].rawName, std::string(256, 'q'));
    EXPECT_EQ(records[0].size, 4);
}

TEST(DirectoryTest, NameBytesAbove127AreKeptByteForByte) {
    std::string name;
    for (int b = 128; b < 256; ++b) {
        name.push_back(static_cast<char>(b));
    }
    const auto records = parse(XcrBuilder().add(name, "x").build());
    ASSERT_EQ(records.size(), 1u);
    EXPECT_EQ(records[0].rawName, name);
}

TEST(DirectoryTest, EmptyNameAndNegativeValuesAreTakenAsStored) {
    Bytes bytes = XcrBuilder().add("", "x").build();
    test::putNumber(bytes, 284 + 256, -5);
    test::putNumber(bytes, 284 + 260, -1);
    const auto records = parse(bytes);
    ASSERT_EQ(records.size(), 1u);
    EXPECT_EQ(records[0].rawName, "");
    EXPECT_EQ(records[0].offset, -5);
    EXPECT_EQ(records[0].size, -1);
}

TEST(DirectoryTest, FileOfTenBytesListsNothing) {
    EXPECT_TRUE(parse(Bytes(10, 0xFF)).empty());
}

TEST(DirectoryTest, FileEndingInsideARecordReadsTheMissingFieldsAsZero) {
    // Record 1 starts at 816; cut inside its name so its offset and size are gone.
    const auto bytes =
        XcrBuilder().add("first", "1").add("second", "2").truncateTo(816 + 3).build();
    const auto records = parse(bytes);
    ASSERT_EQ(records.size(), 2u);
    EXPECT_EQ(records[0].rawName, "first");
    EXPECT_EQ(records[1].rawName, "sec");
    EXPECT_EQ(records[1].offset, 0);
    EXPECT_EQ(records[1].size, 0);
}

TEST(DirectoryTest, HugeCountListsOnlyRecordsThatStartInsideTheFile) {
    Bytes bytes = XcrBuilder().add("a", "1").add("b", "2").build();
    test::putNumber(bytes, 20, 0x7FFFFFFF);
    const auto records = parse(bytes);
    // Three records fit before the end; the data bytes after them are read as records too.
    const std::size_t startsInFile = (bytes.size() - 284 + 531) / 532;
    EXPECT_EQ(records.size(), startsInFile);
    EXPECT_EQ(records[0].rawName, "a");
}

TEST(DirectoryTest, ReadsTheSameFromAFileAsFromMemoryAcrossBlocks) {
    test::TempDir dir;
    XcrBuilder builder;
    for (int i = 0; i < 5000; ++i) {
        builder.add("dir\\entry" + std::to_string(i), test::patternBytes(i % 7, i));
    }
    const Bytes bytes = builder.writeTo(dir.file("big.xcr"));
    const auto fromFile = readDirectory(dir.file("big.xcr"));
    const auto fromMemory = parse(bytes);
    ASSERT_EQ(fromFile.size(), 5000u);
    ASSERT_EQ(fromMemory.size(), 5000u);
    for (std::size_t i = 0; i < fromFile.size(); i += 499) {
        EXPECT_EQ(fromFile[i].rawName, "dir\\entry" + std::to_string(i));
        EXPECT_EQ(fromFile[i].rawName, fromMemory[i].rawName);
        EXPECT_EQ(fromFile[i].offset, builder.offsets()[i]);
        EXPECT_EQ(fromFile[i].size, static_cast<std::int32_t>(i % 7));
    }
}

TEST(DirectoryTest, MissingArchiveFailsWithCannotOpenAndItsPath) {
    test::TempDir dir;
    const std::string path = dir.file("missing.xcr");
    try {
        readDirectory(path);
        FAIL() << "no failure";
    } catch (const Failure& failure) {
        EXPECT_EQ(std::string(failure.what()), "Cannot open file " + path);
    }
}

}  // namespace
}  // namespace xcr
