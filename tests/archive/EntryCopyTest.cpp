#include "archive/os/EntryCopy.h"

#include <gtest/gtest.h>

#include "archive/os/Failure.h"
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
        copyRange(archive, offset, target, 0, size);
        target.close();
        return test::readFileBytes(dir.file("dst"));
    }

    test::TempDir dir;
    test::Bytes source;
};

// Data that lies at the same place within a page on both sides is copied by the kernel,
// other data through the buffer; either way exactly the range lands at the target's
// position.
TEST_F(EntryCopyTest, CopiesExactlyTheRangeToTheTargetPositionByEitherWay) {
    const auto size = static_cast<std::int64_t>(kCopyBufferSize + 10);
    struct Case {
        std::int64_t offset;
        std::int64_t targetAt;
    };
    for (const Case c :
         {Case{5, 0}, Case{4096, 0}, Case{4095, 1}, Case{5, 4101}, Case{8192, 4096}}) {
        SCOPED_TRACE(std::to_string(c.offset) + " to " + std::to_string(c.targetAt));
        {
            File archive = File::open(dir.file("src"), File::Access::Read);
            File target = File::open(dir.file("dst"), File::Access::Create);
            copyRange(archive, c.offset, target, c.targetAt, size);
        }
        test::Bytes expected(static_cast<std::size_t>(c.targetAt), 0);
        expected.insert(expected.end(), source.begin() + c.offset,
                        source.begin() + c.offset + size);
        EXPECT_EQ(test::readFileBytes(dir.file("dst")), expected);
    }
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

// A journal keeps an archive's bytes after its own header, so it can pass 2 GiB;
// positions there must not wrap. A sparse file keeps this test small.
TEST_F(EntryCopyTest, PositionsPastTwoGibibytes) {
    const std::int64_t far = (std::int64_t{1} << 31) + 5;
    const test::Bytes marker = test::bytesOf("far away");
    {
        File big = File::open(dir.file("big"), File::Access::Create);
        big.truncate(far);
        big.writeAt(far, marker.data(), marker.size());
    }
    File big = File::open(dir.file("big"), File::Access::Read);
    File target = File::open(dir.file("dst"), File::Access::Create);
    copyRange(big, far, target, 0, static_cast<std::int64_t>(marker.size()));
    target.close();
    EXPECT_EQ(test::readFileBytes(dir.file("dst")), marker);
}

}  // namespace
}  // namespace xcr
