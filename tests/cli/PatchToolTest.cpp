#include <gtest/gtest.h>

#include <unistd.h>

#include <algorithm>
#include <optional>
#include <random>

#include "tests/archive/SaveFixture.h"
#include "tests/support/ToolProcess.h"

namespace xcr::test {
namespace {

using Args = std::vector<std::string>;

class PatchToolTest : public ::testing::Test {
protected:
    void SetUp() override { ::setenv("XDG_STATE_HOME", dir.file("state").c_str(), 1); }

    ToolProcess::Result run(Args args) {
        args.insert(args.begin(), XCR_TOOL);
        return ToolProcess(args, dir.path()).finish();
    }
    void copy(const std::string& from, const std::string& to) {
        writeFileBytes(dir.file(to), readFileBytes(dir.file(from)));
    }

    TempDir dir;
};

// Random archives (names repeated now and then) and random sets of entries replaced, by
// xcrtool replace itself: the patch of the two makes a fresh copy of the original into the
// modified archive byte for byte, a second apply changes nothing, and undo takes it back.
TEST_F(PatchToolTest, DiffThenApplyGivesTheModifiedArchiveAndUndoTheOriginal) {
    for (unsigned seed = 1; seed <= 12; ++seed) {
        SCOPED_TRACE("seed " + std::to_string(seed));
        std::mt19937 random(seed);
        const auto below = [&](unsigned bound) { return static_cast<unsigned>(random() % bound); };
        XcrBuilder builder;
        const int count = 1 + static_cast<int>(below(9));
        for (int i = 0; i < count; ++i) {
            builder.addPattern("dir\\e" + std::to_string(below(count + 2)), below(3000), random());
        }
        builder.writeTo(dir.file("original.xcr"));
        copy("original.xcr", "modified.xcr");
        Args replace = {"replace", "modified.xcr"};
        for (int i = 0; i < count; ++i) {
            if (below(3) == 0 || (i == count - 1 && replace.size() == 2)) {
                const std::string file = "new" + std::to_string(i);
                Bytes bytes = patternBytes(below(4000), random());
                bytes.push_back(0xA5);  // never what the entry held
                writeFileBytes(dir.file(file), bytes);
                replace.push_back(std::to_string(i) + "=" + file);
            }
        }
        ASSERT_EQ(run(replace).status, 0);
        const auto diff = run({"diff", "original.xcr", "modified.xcr", "-o", "mod.xcrpatch"});
        ASSERT_EQ(diff.status, 0) << diff.err;
        EXPECT_EQ(diff.out.rfind("Wrote mod.xcrpatch: " + std::to_string(replace.size() - 2) +
                                     (replace.size() == 3 ? " entry" : " entries"),
                                 0),
                  0u)
            << diff.out;

        copy("original.xcr", "target.xcr");
        const auto dry = run({"apply", "target.xcr", "mod.xcrpatch", "--dry-run"});
        EXPECT_EQ(dry.status, 0) << dry.err;
        EXPECT_EQ(readFileBytes(dir.file("target.xcr")), readFileBytes(dir.file("original.xcr")));
        const auto applied = run({"apply", "target.xcr", "mod.xcrpatch"});
        ASSERT_EQ(applied.status, 0) << applied.err;
        EXPECT_EQ(readFileBytes(dir.file("target.xcr")), readFileBytes(dir.file("modified.xcr")));
        const auto again = run({"apply", "target.xcr", "mod.xcrpatch"});
        EXPECT_EQ(again.status, 0);
        EXPECT_EQ(again.out, "mod.xcrpatch is applied already; nothing to save.\n");
        EXPECT_EQ(readFileBytes(dir.file("target.xcr")), readFileBytes(dir.file("modified.xcr")));
        ASSERT_EQ(run({"undo", "target.xcr"}).status, 0);
        EXPECT_EQ(readFileBytes(dir.file("target.xcr")), readFileBytes(dir.file("original.xcr")));
    }
}

TEST_F(PatchToolTest, PatchInfoListsTheEntriesAndApplySaysWhatItDid) {
    const Entries original = {
        {"a\\one", bytesOf("one")}, {"two", bytesOf("two")}, {"three", bytesOf("3")}};
    Entries modified = original;
    modified[0].second = bytesOf("ONE!");
    modified[2].second = bytesOf("33");
    builderOf(original).writeTo(dir.file("o.xcr"));
    builderOf(modified).writeTo(dir.file("m.xcr"));
    ASSERT_EQ(run({"diff", "o.xcr", "m.xcr", "-o", "p.xcrpatch"}).status, 0);
    const auto info = run({"patch-info", "p.xcrpatch"});
    EXPECT_EQ(info.status, 0);
    EXPECT_NE(info.out.find("    0              3  "), std::string::npos) << info.out;
    EXPECT_NE(info.out.find("         4  a\\one\n"), std::string::npos) << info.out;
    EXPECT_NE(info.out.find("2 entries, 6 bytes.\n"), std::string::npos) << info.out;

    // One entry applied by hand already: it is skipped, the other replaced.
    Entries half = original;
    half[2].second = bytesOf("33");
    builderOf(half).writeTo(dir.file("t.xcr"));
    const auto dry = run({"apply", "t.xcr", "p.xcrpatch", "--dry-run"});
    EXPECT_EQ(dry.out,
              "entry 0 \"one\": would be replaced (3 -> 4 bytes)\n"
              "entry 2 \"three\": holds the patch's bytes already\n"
              "Would replace 1 entry from p.xcrpatch; 1 entry held the patch's bytes already.\n");
    const auto applied = run({"apply", "t.xcr", "p.xcrpatch"});
    EXPECT_EQ(applied.out,
              "Replaced 1 entry from p.xcrpatch; 1 entry held the patch's bytes already.\n");
    EXPECT_EQ(run({"diff", "m.xcr", "t.xcr", "-o", "none"}).out,
              "No entry differs; no patch written.\n");
}

// Every refusal names its reason in one line, ends with status 1 (2 for usage) and changes
// neither the archive nor, for diff, writes a patch.
TEST_F(PatchToolTest, RefusalsNameTheReasonAndChangeNothing) {
    const Entries original = {{"a", bytesOf("aa")}, {"a", bytesOf("a2")}, {"b", bytesOf("bb")}};
    Entries modified = original;
    modified[1].second = bytesOf("A2!");
    builderOf(original).writeTo(dir.file("o.xcr"));
    builderOf(modified).writeTo(dir.file("m.xcr"));
    ASSERT_EQ(run({"diff", "o.xcr", "m.xcr", "-o", "p.xcrpatch"}).status, 0);
    const Bytes patch = readFileBytes(dir.file("p.xcrpatch"));

    Entries renamed = original;
    renamed[2].first = "c";
    Entries other = original;
    other[1].second = bytesOf("v2");
    Entries shorter(original.begin(), original.begin() + 2);
    const Bytes cut(patch.begin(), patch.end() - 1);
    Bytes flipped = patch;
    flipped.back() ^= 0x10;

    // The target archive's entries (or none for the original), the patch's bytes, the
    // arguments, the status and what standard error says.
    struct Case {
        std::optional<Entries> target;
        Bytes patch;
        Args args;
        int status;
        std::string says;
    };
    const std::vector<Case> cases = {
        {other,
         patch,
         {"apply", "t.xcr", "p2"},
         1,
         "entry 1 \"a\" holds neither the bytes the patch was made from nor the patch's"},
        {Entries{{"x", bytesOf("aa")}, {"y", bytesOf("a2")}},
         patch,
         {"apply", "t.xcr", "p2"},
         1,
         "Cannot apply p2 to t.xcr: no entry is named \"a\"; the archive was left unchanged"},
        {Entries{{"a", bytesOf("a2")}, {"b", bytesOf("a2")}, {"a", bytesOf("a2")}},
         patch,
         {"apply", "t.xcr", "p2"},
         1,
         "several entries are named \"a\", none of them entry 1"},
        {std::nullopt, cut, {"apply", "t.xcr", "p2"}, 1, "Cannot read patch p2: it is cut short"},
        {std::nullopt,
         flipped,
         {"apply", "t.xcr", "p2", "--dry-run"},
         1,
         "Cannot read patch p2: the bytes of entry 1 are damaged"},
        {std::nullopt,
         flipped,
         {"apply", "t.xcr", "p2"},
         1,
         "Cannot read patch p2: the bytes of entry 1 are damaged"},
        {std::nullopt, bytesOf("XCRPATCH"), {"patch-info", "p2"}, 1, "too short"},
        {std::nullopt,
         bytesOf("RIFF and more than thirty-two bytes of it"),
         {"apply", "t.xcr", "p2"},
         1,
         "it is not a mod patch"},
        {std::nullopt, patch, {"apply", "t.xcr", "missing"}, 1, "Cannot open file missing"},
        {std::nullopt, patch, {"apply", "t.xcr", "-"}, 2, "standard input or output"},
        {renamed,
         patch,
         {"diff", "o.xcr", "t.xcr", "-o", "p3"},
         1,
         "entry 2 has another stored name in each; a patch replaces entries, it never adds"},
        {std::nullopt,
         patch,
         {"diff", "o.xcr", "t.xcr", "-o", "t.xcr"},
         1,
         "Cannot create file t.xcr: it is the archive t.xcr, which the patch would replace"},
        {shorter,
         patch,
         {"diff", "o.xcr", "t.xcr", "-o", "p3"},
         1,
         "the first lists 3 entries, the second 2"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.says);
        builderOf(c.target.value_or(original)).writeTo(dir.file("t.xcr"));
        const Bytes before = readFileBytes(dir.file("t.xcr"));
        writeFileBytes(dir.file("p2"), c.patch);
        const auto result = run(c.args);
        EXPECT_EQ(result.status, c.status);
        EXPECT_NE(result.err.find(c.says), std::string::npos) << result.err;
        EXPECT_EQ(std::count(result.err.begin(), result.err.end(), '\n'), 1);
        EXPECT_EQ(readFileBytes(dir.file("t.xcr")), before);
        EXPECT_EQ(::access(dir.file("p3").c_str(), F_OK), -1);
    }
}

}  // namespace
}  // namespace xcr::test
