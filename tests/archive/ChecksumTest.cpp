#include "archive/format/Checksum.h"

#include <gtest/gtest.h>

#include "tests/support/XcrBuilder.h"

namespace xcr {
namespace {

std::uint64_t checksumOf(const test::Bytes& bytes, const std::vector<std::size_t>& cuts) {
    Checksum checksum;
    std::size_t at = 0;
    for (const std::size_t cut : cuts) {
        checksum.add(bytes.data() + at, cut - at);
        at = cut;
    }
    checksum.add(bytes.data() + at, bytes.size() - at);
    return checksum.value();
}

// A journal is checked with its bytes read in other pieces than they were written in.
TEST(ChecksumTest, TheSameHoweverTheBytesArriveAndChangedByAnyBitOrLength) {
    const test::Bytes bytes = test::patternBytes(1000, 5);
    const std::uint64_t whole = checksumOf(bytes, {});
    for (const auto& cuts : std::vector<std::vector<std::size_t>>{
             {1}, {63}, {64}, {65}, {7, 8, 9, 500}, {128, 129, 999}, {0, 0, 1000}}) {
        EXPECT_EQ(checksumOf(bytes, cuts), whole) << cuts.size();
    }
    for (std::size_t bit = 0; bit < 8 * 300; bit += 7) {
        test::Bytes flipped = bytes;
        flipped[bit / 8] ^= static_cast<unsigned char>(1u << (bit % 8));
        EXPECT_NE(checksumOf(flipped, {64}), whole) << bit;
    }
    test::Bytes longer = bytes;
    longer.push_back(0);
    EXPECT_NE(checksumOf(longer, {}), whole);
    EXPECT_NE(checksumOf(test::Bytes(64, 0), {}), checksumOf(test::Bytes(128, 0), {}));
}

}  // namespace
}  // namespace xcr
