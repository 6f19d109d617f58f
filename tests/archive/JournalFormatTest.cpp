#include "archive/journal/JournalFormat.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <vector>

namespace xcr::journal {
namespace {

using Bytes = std::vector<unsigned char>;

Bytes encoded(const std::function<void(Header&)>& change = {}) {
    Header header;
    header.complete = true;
    header.archive = {7, 42};
    header.archiveName = "game.xcr";
    header.oldLength = 5000;
    header.newLength = 6000;
    header.listed = 3;
    header.rangeCount = 2;
    header.bodyLength = 9000;
    if (change) {
        change(header);
    }
    const auto bytes = encodeHeader(header);
    return Bytes(bytes.begin(), bytes.end());
}

// How a header is classed decides whether a journal is applied, set aside or left alone:
// a header cut off while written must never pass for another program's file, and no
// number may pass that the reader would overflow on.
TEST(JournalFormatTest, HeadersAreClassedByHowTheyCameToBe) {
    struct Case {
        const char* what;
        Bytes bytes;
        HeaderState state;
    };
    Bytes torn = encoded();
    torn[100] ^= 1;
    Bytes cutInMagic = encoded();
    std::fill(cutInMagic.begin() + 3, cutInMagic.end(), 0);
    const Bytes whole = encoded();
    Bytes olderVersion = encoded();
    olderVersion[7] = '1';
    const std::vector<Case> cases = {
        {"whole", whole, HeaderState::Checked},
        {"a byte changed after the checksum", torn, HeaderState::Torn},
        {"cut off inside its magic", cutInMagic, HeaderState::Torn},
        {"shorter than a header", Bytes(whole.begin(), whole.begin() + 300), HeaderState::Torn},
        {"all zero", Bytes(512, 0), HeaderState::Torn},
        {"another version's magic", olderVersion, HeaderState::Foreign},
        {"text", Bytes{'n', 'o', 't', 'e', 's'}, HeaderState::Foreign},
        {"a body length near 2^63", encoded([](Header& h) { h.bodyLength = INT64_MAX - 100; }),
         HeaderState::Damaged},
        {"a length past 2 GiB", encoded([](Header& h) { h.newLength = std::int64_t{1} << 31; }),
         HeaderState::Damaged},
        {"a negative range count", encoded([](Header& h) { h.rangeCount = -1; }),
         HeaderState::Damaged},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Header header;
        EXPECT_EQ(decodeHeader(c.bytes.data(), c.bytes.size(), header), c.state);
    }
    Header back;
    ASSERT_EQ(decodeHeader(whole.data(), whole.size(), back), HeaderState::Checked);
    EXPECT_EQ(back.archive, (FileIdentity{7, 42}));
    EXPECT_EQ(back.archiveName, "game.xcr");
    EXPECT_TRUE(back.complete);
}

}  // namespace
}  // namespace xcr::journal
