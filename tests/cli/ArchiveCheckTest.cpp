#include <gtest/gtest.h>
#include <unistd.h>

#include <functional>

#include "archive/format/XcrLayout.h"
#include "cli/ArchiveCheck.h"
#include "tests/support/XcrBuilder.h"

namespace xcr::test {
namespace {

// Two entries of 10 bytes at 1880 and 1890, after a directory of three records; the file
// is 1900 bytes long and its total size field says so.
XcrBuilder twoEntries() {
    return XcrBuilder().plain().add("a", patternBytes(10, 1)).add("b", patternBytes(10, 2));
}

Bytes withNumber(Bytes bytes, std::int64_t position, std::int32_t value) {
    putNumber(bytes, static_cast<std::size_t>(position), value);
    return bytes;
}

Bytes journalBytes(const std::string& start) {
    Bytes bytes = bytesOf(start);
    bytes.resize(512, 0);
    return bytes;
}

struct CheckCase {
    const char* what;
    std::function<Bytes()> archive;
    Bytes journal;  // none when empty
    // "{journal}" stands for the journal's path.
    std::vector<std::string> problems;
    bool secondName = false;  // a hard link b.xcr beside it
};

TEST(ArchiveCheckTest, FindsEveryProblemOnceAndNothingInAWholeArchive) {
    using namespace layout;
    const std::vector<CheckCase> cases = {
        {"whole", [] { return twoEntries().build(); }, {}, {}},
        {"cut short",
         [] { return twoEntries().truncateTo(1896).build(); },
         {},
         {"entry 1 \"b\": its data (10 bytes at offset 1890) ends at byte 1900, past the end "
          "of the file (1896 bytes)",
          "the total size field says 1900 bytes, but the file has 1896 bytes"}},
        {"overlap",
         [] { return withNumber(twoEntries().build(), offsetPos(1), 1885); },
         {},
         {"entries 0 \"a\" and 1 \"b\": their data overlap in bytes 1885 to 1889"}},
        {"data in the directory",
         [] { return withNumber(twoEntries().build(), offsetPos(0), 1000); },
         {},
         {"entry 0 \"a\": its data (at offset 1000) lies in the header or directory, which "
          "end at byte 1880"}},
        {"negative size",
         [] { return withNumber(twoEntries().build(), offsetPos(1) + kNumberSize, -1); },
         {},
         {"entry 1 \"b\": its offset (1890) or size (-1) is negative"}},
        {"directory past the end",
         [] { return XcrBuilder().plain().declaredCount(3).build(); },
         {},
         {"the directory that the header declares (3 records) ends at byte 1880, past the end "
          "of the file (816 bytes)"}},
        {"shorter than a header",
         [] { return twoEntries().truncateTo(100).build(); },
         {},
         {"the file (100 bytes) is shorter than the header (284 bytes)",
          "the total size field says 1900 bytes, but the file has 100 bytes"}},
        {"total of a save that shrank the data",
         [] {
             Bytes bytes = twoEntries().build();
             bytes.resize(1906, 7);
             return bytes;
         },
         {},
         {}},
        {"total inside the data",
         [] { return withNumber(twoEntries().build(), kTotalSizePos, 1890); },
         {},
         {"the total size field says 1890 bytes, but the file has 1900 bytes and its listed "
          "data ends at byte 1900"}},
        {"journal cut off while written",
         [] { return twoEntries().build(); },
         journalBytes("XCRJNL02"),
         {"the journal {journal} of a save that stopped before it changed the archive lies "
          "beside it, its header cut off; opening the archive sets it aside"}},
        {"foreign file",
         [] { return twoEntries().build(); },
         bytesOf("these are notes, not a journal"),
         {"{journal} lies beside it where its journal goes, and is not its journal (it is not "
          "a journal of this program); it is never applied, and saving and extracting are "
          "refused"}},
        {"second name",
         [] { return twoEntries().build(); },
         {},
         {"the archive has 2 names (hard links), so saving it in place is refused; its other "
          "names in its folder: b.xcr"},
         true},
    };
    for (const CheckCase& c : cases) {
        SCOPED_TRACE(c.what);
        TempDir dir;
        const std::string path = dir.file("a.xcr");
        const Bytes archive = c.archive();
        writeFileBytes(path, archive);
        if (!c.journal.empty()) {
            writeFileBytes(path + "-journal", c.journal);
        }
        if (c.secondName) {
            ASSERT_EQ(::link(path.c_str(), dir.file("b.xcr").c_str()), 0);
        }
        std::vector<std::string> expected;
        for (std::string problem : c.problems) {
            const auto at = problem.find("{journal}");
            if (at != std::string::npos) {
                problem.replace(at, 9, path + "-journal");
            }
            expected.push_back(problem);
        }
        EXPECT_EQ(findArchiveProblems(path), expected);
        // Only read: the archive and any journal stay as they were.
        EXPECT_EQ(readFileBytes(path), archive);
        if (!c.journal.empty()) {
            EXPECT_EQ(readFileBytes(path + "-journal"), c.journal);
        }
    }
}

}  // namespace
}  // namespace xcr::test
