#include "archive/format/Directory.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include "archive/format/XcrLayout.h"
#include "archive/format/internal/ParseDirectory.h"
#include "archive/os/Failure.h"
#include "archive/store/OpenedArchive.h"
#include "tests/support/XcrBuilder.h"

namespace xcr {
namespace {

using test::Bytes;
using test::XcrBuilder;

struct Record {
    std::string rawName;
    std::int32_t offset = 0;
    std::int32_t size = 0;
};

std::vector<Record> recordsOf(const EntryTable& table) {
    std::vector<Record> records;
    for (int i = 0; i < table.count(); ++i) {
        records.push_back(
            {std::string(table.storedName(i)), table.placement(i).offset, table.placement(i).size});
    }
    return records;
}

std::vector<Record> parse(const Bytes& bytes) {
    return recordsOf(internal::parseEntryTable(bytes.data(), bytes.size()));
}

EntryTable readFile(const std::string& path) {
    File archive = File::open(path, File::Access::Read);
    return readEntryTable(archive);
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
    const auto fromFile = recordsOf(readFile(dir.file("big.xcr")));
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

// Offsets and sizes are 32-bit, so no valid archive reaches past 2 GiB: however large
// the file and its count, only the records within the first 2^31 - 1 bytes are listed.
TEST(DirectoryTest, ASparseFilePast2GiBWithAHugeCountListsOnlyTheFirst2GiB) {
    test::TempDir dir;
    const std::string path = dir.file("huge.xcr");
    Bytes head = XcrBuilder().add("first", "1").build();
    test::putNumber(head, 20, 0x7FFFFFFF);
    test::writeFileBytes(path, head);
    ASSERT_EQ(::truncate(path.c_str(), std::int64_t{20} << 30), 0);
    const EntryTable table = readFile(path);
    EXPECT_EQ(table.count(), layout::kMaxListedRecords);
    EXPECT_EQ(table.storedName(0), "first");
    const std::int64_t lastEnd = layout::recordPos(table.count());
    EXPECT_LE(lastEnd, layout::kMaxValue);
    EXPECT_GT(lastEnd + layout::kRecordSize, layout::kMaxValue);
}

// The fingerprint covers the header and every listed record, as the file has them.
TEST(DirectoryTest, FingerprintFollowsEveryByteOfTheHeaderAndListedRecords) {
    test::TempDir dir;
    const std::string path = dir.file("a.xcr");
    const Bytes bytes = XcrBuilder().add("a", "1").add("b", "22").trailingRecord("t", {}).build();
    test::writeFileBytes(path, bytes);
    const EntryTable table = readFile(path);
    File archive = File::open(path, File::Access::Read);
    EXPECT_EQ(readFingerprint(archive, table.count()), table.fingerprint());
    archive.close();
    const std::size_t listedEnd = static_cast<std::size_t>(layout::recordPos(2));
    for (const std::size_t changed : {std::size_t{0}, std::size_t{24}, std::size_t{283},
                                      std::size_t{284 + 300}, listedEnd - 1}) {
        Bytes other = bytes;
        other[changed] ^= 0x01;
        test::writeFileBytes(path, other);
        File changedArchive = File::open(path, File::Access::Read);
        EXPECT_NE(readFingerprint(changedArchive, table.count()), table.fingerprint()) << changed;
    }
    // The unlisted last record and the data are not part of it.
    Bytes other = bytes;
    other[listedEnd + 5] ^= 0x01;
    other.back() ^= 0x01;
    test::writeFileBytes(path, other);
    File same = File::open(path, File::Access::Read);
    EXPECT_EQ(readFingerprint(same, table.count()), table.fingerprint());
    // Nor is a change of length past the directory, but a cut into it is.
    same.close();
    test::writeFileBytes(
        path, Bytes(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(listedEnd) - 1));
    File cut = File::open(path, File::Access::Read);
    EXPECT_NE(readFingerprint(cut, table.count()), table.fingerprint());
}

TEST(DirectoryTest, MissingArchiveFailsWithCannotOpenAndItsPath) {
    test::TempDir dir;
    const std::string path = dir.file("missing.xcr");
    try {
        openArchive(path);
        FAIL() << "no failure";
    } catch (const Failure& failure) {
        EXPECT_EQ(std::string(failure.what()),
                  "Cannot open file " + path + ": No such file or directory");
    }
}

}  // namespace
}  // namespace xcr
