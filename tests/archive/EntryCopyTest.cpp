#include "archive/EntryCopy.h"

#include <gtest/gtest.h>

#include "archive/Failure.h"
#include "tests/support/XcrBuilder.h"

namespace xcr {
namespace {

class EntryCopyTest : public ::testing::Test {
protected:
    void SetUp() override {
        source = test::patternBytes(kCopyBufferSize * 2 + 77, 3);
        test::writeFileBytes(dir.file("src"), source);
    }

    test::Bytes copy(std::int64_t offset, std::int64_t size) {
        File archive = File::open(dir.file("src"), File::Access::Read);
        File target = File::open(dir.file("dst"), File::Access::Create);
        copyEntry(archive, offset, size, target);
        target.close();
        return test::readFileBytes(dir.file("dst"));
    }

    test::TempDir dir;
    test::Bytes source;
};

TEST_F(EntryCopyTest, CopiesExactlyTheRangeAcrossSeveralBuffers) {
    const auto size = static_cast<std::int32_t>(kCopyBufferSize + 10);
    const test::Bytes copied = copy(5, size);
    EXPECT_EQ(copied, test::Bytes(source.begin() + 5, source.begin() + 5 + size));
}

TEST_F(EntryCopyTest, SizeZeroCopiesNothing) {
    EXPECT_TRUE(copy(100, 0).empty());
}

TEST_F(EntryCopyTest, RangePastTheEndKeepsWhatWasThereAndFails) {
    const auto offset = static_cast<std::int32_t>(source.size() - 4);
    EXPECT_THROW(copy(offset, 10), Failure);
    EXPECT_EQ(test::readFileBytes(dir.file("dst")), test::Bytes(source.end() - 4, source.end()));
}

TEST_F(EntryCopyTest, NegativeOffsetOrSizeIsAStreamReadError) {
    for (const auto& [offset, size] : {std::pair{-1, 4}, std::pair{0, -4}}) {
        try {
            copy(offset, size);
            FAIL() << "no failure";
        } catch (const Failure& failure) {
            EXPECT_STREQ(failure.what(), "Stream read error");
        }
    }
}

// The save keeps every entry back to back in one file, which passes 2 GiB when entries
// share data; positions there must not wrap. A sparse file keeps this test small.
TEST_F(EntryCopyTest, PositionsPastTwoGibibytes) {
    const std::int64_t far = (std::int64_t{1} << 31) + 5;
    const test::Bytes marker = test::bytesOf("far away");
    {
        File big = File::open(dir.file("big"), File::Access::Create);
        big.truncate(far);
        big.seek(far);
        big.writeAll(marker.data(), marker.size());
    }
    File big = File::open(dir.file("big"), File::Access::Read);
    File target = File::open(dir.file("dst"), File::Access::Create);
    copyEntry(big, far, static_cast<std::int64_t>(marker.size()), target);
    target.close();
    EXPECT_EQ(test::readFileBytes(dir.file("dst")), marker);
}

}  // namespace
}  // namespace xcr
