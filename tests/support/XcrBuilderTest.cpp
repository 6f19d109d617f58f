#include "tests/support/XcrBuilder.h"

#include <gtest/gtest.h>

#include <functional>

#include "archive/format/XcrLayout.h"

namespace xcr::test {
namespace {

// Entry sizes around the pieces the builder makes data in (64 KiB).
constexpr std::size_t kPiece = std::size_t{1} << 16;

struct Shape {
    const char* what;
    std::function<XcrBuilder()> make;
};

const Shape kShapes[] = {
    {"patterns around the piece size",
     [] {
         XcrBuilder builder;
         unsigned seed = 1;
         for (const std::size_t size :
              {kPiece - 1, std::size_t{0}, kPiece, std::size_t{1}, kPiece + 1, 2 * kPiece + 3}) {
             builder.addPattern("p" + std::to_string(seed), size, seed);
             ++seed;
         }
         return builder;
     }},
    {"bytes and patterns mixed, gaps longer than a piece, a trailing record",
     [] {
         return XcrBuilder()
             .add("a.txt", "alpha")
             .addPattern("b.bin", 3 * kPiece, 9)
             .add("c.txt", "gamma")
             .gap(kPiece + 7)
             .trailingRecord("hidden", patternBytes(100, 4));
     }},
    {"cut inside a pattern entry",
     [] {
         return XcrBuilder()
             .add("a.txt", "alpha")
             .addPattern("b.bin", 2 * kPiece, 3)
             .truncateTo(layout::directoryEnd(2) + 5 + kPiece + 11);
     }},
    {"plain, with a trailing record",
     [] {
         return XcrBuilder()
             .plain()
             .addPattern("b.bin", kPiece + 2, 5)
             .trailingRecord("last", bytesOf("tail"));
     }},
    {"no entries at all", [] { return XcrBuilder().gap(3); }},
};

TEST(XcrBuilderTest, StreamedArchiveHasTheBuiltBytes) {
    TempDir dir;
    for (const auto& shape : kShapes) {
        const XcrBuilder builder = shape.make();
        builder.streamTo(dir.file("streamed.xcr"));
        EXPECT_EQ(readFileBytes(dir.file("streamed.xcr")), builder.build()) << shape.what;
    }
}

TEST(XcrBuilderTest, PatternEntriesHoldTheirPatternAtTheirOffsets) {
    const XcrBuilder builder = kShapes[0].make();
    const Bytes bytes = builder.build();
    const auto offsets = builder.offsets();
    ASSERT_EQ(offsets.size(), 6u);
    for (std::size_t i = 0; i < offsets.size(); ++i) {
        const auto record = static_cast<std::size_t>(layout::recordPos(static_cast<int>(i)));
        EXPECT_EQ(numberAt(bytes, record + layout::kOffsetField), offsets[i]) << i;
        const auto size = static_cast<std::size_t>(numberAt(bytes, record + layout::kSizeField));
        const auto begin = bytes.begin() + offsets[i];
        EXPECT_EQ(Bytes(begin, begin + static_cast<std::ptrdiff_t>(size)),
                  patternBytes(size, static_cast<unsigned>(i + 1)))
            << i;
    }
    EXPECT_EQ(bytes.size(), offsets.back() + 2 * kPiece + 3);
}

// The demo archive test pins a plain archive without a trailing record byte for byte.
TEST(XcrBuilderTest, PlainArchiveCountsTheTrailingRecordInItsTotalSize) {
    const Bytes bytes = kShapes[3].make().build();
    EXPECT_EQ(static_cast<std::size_t>(numberAt(bytes, layout::kTotalSizePos)), bytes.size());
    EXPECT_EQ(numberAt(bytes, layout::offsetPos(1)), layout::directoryEnd(1) + kPiece + 2);
    EXPECT_EQ(Bytes(bytes.end() - 4, bytes.end()), bytesOf("tail"));
    EXPECT_EQ(Bytes(bytes.begin(), bytes.begin() + layout::kRecordCountPos), Bytes(20, 0));
}

}  // namespace
}  // namespace xcr::test
