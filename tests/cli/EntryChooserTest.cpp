#include <gtest/gtest.h>

#include "archive/format/internal/ParseDirectory.h"
#include "cli/EntryChooser.h"
#include "tests/support/FailureText.h"
#include "tests/support/XcrBuilder.h"

namespace xcr::test {
namespace {

struct ChooseCase {
    std::vector<std::string> selectors;
    std::vector<int> chosen;
    std::string failure;  // instead of `chosen`
};

TEST(EntryChooserTest, ChoosesByIndexNameAndPatternInDirectoryOrderOnce) {
    const Bytes bytes = XcrBuilder()
                            .add("art\\wall.bmp", "1")
                            .add("snd\\wall.bmp", "2")
                            .add("c:readme.txt", "3")
                            .add("\xe9t\xe9.wav", "4")
                            .add("[x]", "5")
                            .build();
    const EntryTable entries = internal::parseEntryTable(bytes.data(), bytes.size());
    const std::vector<ChooseCase> cases = {
        {{}, {0, 1, 2, 3, 4}, ""},
        {{"3"}, {3}, ""},
        {{"04"}, {4}, ""},
        {{"wall.bmp"}, {0, 1}, ""},
        {{"*.bmp", "2", "0", "1"}, {0, 1, 2}, ""},
        {{"[rw]*"}, {0, 1, 2}, ""},
        // As listed (each byte one character, in UTF-8) or as the bytes themselves.
        {{"\xc3\xa9t\xc3\xa9.wav"}, {3}, ""},
        {{"\xe9t\xe9.wav"}, {3}, ""},
        {{"?t?.wav"}, {3}, ""},
        // A name that reads as a pattern matches itself too.
        {{"[x]"}, {4}, ""},
        {{"WALL.BMP"}, {}, "No entry matches \"WALL.BMP\""},
        {{"0", "nothing*"}, {}, "No entry matches \"nothing*\""},
        {{"5"}, {}, "No entry has index 5: the archive lists 5 entries, 0 to 4"},
        {{"99999999999999999999"},
         {},
         "No entry has index 99999999999999999999: the archive lists 5 entries, 0 to 4"},
    };
    const EntryChooser chooser(entries);
    for (const ChooseCase& c : cases) {
        SCOPED_TRACE(::testing::PrintToString(c.selectors));
        if (c.failure.empty()) {
            EXPECT_EQ(chooser.choose(c.selectors), c.chosen);
        } else {
            EXPECT_EQ(failureText([&] { chooser.choose(c.selectors); }), c.failure);
        }
    }
    const EntryTable none;
    EXPECT_EQ(failureText([&] { EntryChooser(none).choose({"0"}); }),
              "No entry has index 0: the archive lists no entries");
}

}  // namespace
}  // namespace xcr::test
