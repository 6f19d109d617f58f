#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>

#include <map>
#include <nlohmann/json.hpp>
#include <thread>

#include "tests/archive/SaveFixture.h"
#include "tests/support/InterruptedSave.h"
#include "tests/support/ToolProcess.h"

namespace xcr::test {
namespace {

using Args = std::vector<std::string>;

bool exists(const std::string& path) {
    struct stat info {};
    return ::lstat(path.c_str(), &info) == 0;
}

// xcrtool run on archives written by the test builder, in a folder of its own.
class XcrToolTest : public ::testing::Test {
protected:
    void SetUp() override { old = builderOf(entries).writeTo(archive); }

    ToolProcess::Result run(Args args, const std::string& folder = {}, bool unread = false) {
        args.insert(args.begin(), XCR_TOOL);
        return ToolProcess(args, folder.empty() ? dir.path() : folder, unread).finish();
    }
    void expectArchiveUnchanged() const {
        EXPECT_EQ(readFileBytes(archive), old);
        EXPECT_FALSE(exists(archive + "-journal"));
    }

    TempDir dir;
    const std::string archive = dir.file("a.xcr");
    const Entries entries = {{"art\\wall.bmp", bytesOf("BM wall")},
                             {"snd\\wall.bmp", bytesOf("BM other")},
                             {"c:readme.txt", bytesOf("read me")},
                             {"\xe9t\xe9.wav", bytesOf("RIFF")},
                             {"empty", {}}};
    Bytes old;
};

TEST_F(XcrToolTest, ListWritesEveryEntryAsATableOrAsJson) {
    const auto table = run({"list", "a.xcr"});
    EXPECT_EQ(table.status, 0);
    EXPECT_EQ(table.out,
              "index  offset  size  name        stored name\n"
              "    0    3476     7  wall.bmp    art\\wall.bmp\n"
              "    1    3483     8  wall.bmp    snd\\wall.bmp\n"
              "    2    3491     7  readme.txt  c:readme.txt\n"
              "    3    3498     4  \xc3\xa9t\xc3\xa9.wav     \xc3\xa9t\xc3\xa9.wav\n"
              "    4    3502     0  empty       empty\n");

    const auto json = run({"list", "a.xcr", "--json"});
    EXPECT_EQ(json.status, 0);
    const auto list = nlohmann::json::parse(json.out);
    const Args names = {"wall.bmp", "wall.bmp", "readme.txt", "\xc3\xa9t\xc3\xa9.wav", "empty"};
    const std::vector<std::int32_t> offsets = builderOf(entries).offsets();
    ASSERT_EQ(list.size(), entries.size());
    for (std::size_t i = 0; i < entries.size(); ++i) {
        EXPECT_EQ(list[i].at("index"), i);
        EXPECT_EQ(list[i].at("name"), names[i]);
        EXPECT_EQ(list[i].at("offset"), offsets[i]);
        EXPECT_EQ(list[i].at("size"), entries[i].second.size());
    }
    EXPECT_EQ(list[0].at("stored_name"), "art\\wall.bmp");
    EXPECT_EQ(list[3].at("stored_name"), names[3]);
}

TEST_F(XcrToolTest, ExtractWritesTheChosenEntriesByteForByteUnderTheirSafeNames) {
    using Files = std::map<std::string, Bytes>;
    const Bytes wall = bytesOf("BM wall"), other = bytesOf("BM other");
    const Bytes readme = bytesOf("read me"), wave = bytesOf("RIFF");
    // The arguments after the archive, the folder written and what it then holds.
    const std::vector<std::tuple<Args, std::string, Files>> cases = {
        // Two entries of one name: the later one is written last.
        {{},
         ".",
         {{"wall.bmp", other}, {"readme.txt", readme}, {"\xe9t\xe9.wav", wave}, {"empty", {}}}},
        {{"-o", "out", "*.bmp"}, "out", {{"wall.bmp", other}}},
        {{"0", "0", "-o", "made"}, "made", {{"wall.bmp", wall}}},
        {{"-o", "out", "\xc3\xa9t\xc3\xa9.wav"}, "out", {{"\xe9t\xe9.wav", wave}}},
        {{"-o", "out", "r?adme.*", "4"}, "out", {{"readme.txt", readme}, {"empty", {}}}},
    };
    for (std::size_t i = 0; i < cases.size(); ++i) {
        const auto& [arguments, written, files] = cases[i];
        SCOPED_TRACE(::testing::PrintToString(arguments));
        const std::string folder = dir.file("run" + std::to_string(i));
        ASSERT_EQ(::mkdir(folder.c_str(), 0700), 0);
        Args command = {"extract", archive};
        command.insert(command.end(), arguments.begin(), arguments.end());
        const auto result = run(command, folder);
        EXPECT_EQ(result.status, 0) << result.err;
        Files found;
        for (const std::string& name : filesIn(folder + "/" + written)) {
            found[name] = readFileBytes(folder + "/" + written + "/" + name);
        }
        EXPECT_EQ(found, files);
    }
}

TEST_F(XcrToolTest, ReplaceSavesTheSameBytesAsTheWindow) {
    // ENTRY, its new data and the index it names.
    using Replacements = std::vector<std::tuple<std::string, Bytes, int>>;
    const std::vector<Replacements> cases = {
        {{"1", patternBytes(300, 1), 1}},
        {{"readme.txt", bytesOf("x"), 2}, {"empty", bytesOf("now full"), 4}},
        {{"\xc3\xa9t\xc3\xa9.wav", patternBytes(40, 2), 3}},
        {{"0", bytesOf("first"), 0}, {"0", bytesOf("last"), 0}},
    };
    for (const Replacements& replacements : cases) {
        writeFileBytes(archive, old);
        Args command = {"replace", "a.xcr"};
        Entries expected = entries;
        for (const auto& [entry, data, index] : replacements) {
            const std::string file = "new" + std::to_string(command.size());
            writeFileBytes(dir.file(file), data);
            command.push_back(entry + "=" + file);
            expected[static_cast<std::size_t>(index)].second = data;
        }
        SCOPED_TRACE(::testing::PrintToString(command));
        const auto result = run(command);
        EXPECT_EQ(result.status, 0);
        EXPECT_EQ(result.out + result.err, "");
        EXPECT_EQ(readFileBytes(archive), expectedAfterSave(expected, old));
        EXPECT_FALSE(exists(archive + "-journal"));
    }
}

// Every failure: its exit status, nothing on standard output, one line on standard error
// (exactly this one, when given), and nothing written.
TEST_F(XcrToolTest, FailuresEndWithOneLineAndChangeNothing) {
    writeFileBytes(dir.file("new"), bytesOf("new"));
    const std::vector<std::tuple<Args, int, std::string>> cases = {
        {{"extract", "a.xcr", "-o", "out", "0", "nope"}, 1, "No entry matches \"nope\""},
        {{"extract", "a.xcr", "-o", "out", "5"},
         1,
         "No entry has index 5: the archive lists 5 entries, 0 to 4"},
        {{"replace", "a.xcr", "1=new", "wall.bmp=new"},
         1,
         "More than one entry is named \"wall.bmp\" (entries 0, 1); give the index of the one "
         "to replace"},
        {{"replace", "a.xcr", "nope=new"}, 1, "No entry is named \"nope\""},
        {{"replace", "a.xcr", "1=new", "0=missing"},
         1,
         "Cannot open file missing: No such file or directory"},
        {{"list", "missing.xcr"}, 1, "Cannot open file missing.xcr: No such file or directory"},
        {{"replace", "missing.xcr", "0=new"},
         1,
         "Cannot open file missing.xcr: No such file or directory"},
        {{"check", "missing.xcr"}, 1, "Cannot open file missing.xcr: No such file or directory"},
        {{}, 2, ""},
        {{"list"}, 2, ""},
        {{"list", "a.xcr", "--bogus"}, 2, ""},
        {{"extract", "a.xcr", "-o", ""}, 2, ""},
        {{"replace", "a.xcr"}, 2, ""},
        {{"replace", "a.xcr", "0=new", "noequals"}, 2, ""},
    };
    for (const auto& [arguments, status, text] : cases) {
        SCOPED_TRACE(::testing::PrintToString(arguments));
        const auto result = run(arguments);
        EXPECT_EQ(result.status, status);
        EXPECT_EQ(result.out, "");
        if (!text.empty()) {
            EXPECT_EQ(result.err, "xcrtool: " + text + "\n");
        }
        EXPECT_EQ(result.err.rfind("xcrtool: ", 0), 0u);
        EXPECT_EQ(result.err.find('\n'), result.err.size() - 1);
        expectArchiveUnchanged();
        EXPECT_FALSE(exists(dir.file("out")));
    }
    const auto unread = run({"list", "a.xcr"}, {}, true);
    EXPECT_EQ(unread.status, 1);
    EXPECT_EQ(unread.err, "xcrtool: Cannot write to standard output\n");
}

TEST_F(XcrToolTest, CheckReportsAJournalWithoutApplyingItAndOpeningAppliesIt) {
    const Bytes whole = XcrBuilder().plain().add("one", "1").add("two", "22").writeTo(archive);
    auto result = run({"check", "a.xcr"});
    EXPECT_EQ(result.status, 0);
    EXPECT_EQ(result.out, "a.xcr: no problems found\n");
    // A save that was to write 12345 as the total size, cut off after writing it.
    const Bytes halfSaved = test::interruptSave(archive, 12345, 0);

    result = run({"check", "a.xcr"});
    EXPECT_EQ(result.status, 1);
    EXPECT_EQ(result.out, "a.xcr: the total size field says 12345 bytes, but the file has " +
                              std::to_string(whole.size()) +
                              " bytes\na.xcr: the journal a.xcr-journal of an interrupted save "
                              "lies beside it; opening the archive puts it back as it was "
                              "before that save\n");
    EXPECT_EQ(result.err, "xcrtool: a.xcr: 2 problems found\n");
    EXPECT_EQ(readFileBytes(archive), halfSaved);

    result = run({"list", "a.xcr"});
    EXPECT_EQ(result.status, 0);
    EXPECT_EQ(result.err,
              "xcrtool: A save of a.xcr was interrupted. The archive has been put back as it was "
              "before that save.\n");
    EXPECT_EQ(readFileBytes(archive), whole);
    EXPECT_FALSE(exists(archive + "-journal"));
}

// The save takes long enough to be caught under way: from the moment its journal exists
// until the archive is final or put back, the signal waits.
TEST_F(XcrToolTest, CtrlCDuringASaveLetsItFinishAndEndsWith130) {
    const Entries large = {{"small", bytesOf("s")}, {"large", patternBytes(48 << 20, 3)}};
    const Bytes before = builderOf(large).writeTo(archive);
    writeFileBytes(dir.file("new"), bytesOf("grown"));
    ToolProcess save({XCR_TOOL, "replace", "a.xcr", "0=new"}, dir.path());
    while (!exists(archive + "-journal") && save.running()) {
        std::this_thread::yield();
    }
    ASSERT_TRUE(save.running()) << "the save ended before it could be interrupted";
    save.signal(SIGINT);
    const auto result = save.finish();
    EXPECT_EQ(result.status, 130);
    EXPECT_EQ(result.err, "xcrtool: Stopped by SIGINT once the save of a.xcr had finished\n");
    Entries expected = large;
    expected[0].second = bytesOf("grown");
    EXPECT_EQ(readFileBytes(archive), expectedAfterSave(expected, before));
    EXPECT_FALSE(exists(archive + "-journal"));
}

// Each save keeps a record: history lists them newest first, undo takes back one or
// several, and refuses, writing nothing, when the archive changed since or none is left.
TEST_F(XcrToolTest, HistoryListsTheSavesAndUndoTakesThemBack) {
    ::setenv("XDG_STATE_HOME", dir.file("state").c_str(), 1);
    auto result = run({"history", "a.xcr"});
    EXPECT_EQ(result.out, "a.xcr: no save of it can be undone\n");
    writeFileBytes(dir.file("new"), bytesOf("a longer text"));
    ASSERT_EQ(run({"replace", "a.xcr", "2=new"}).status, 0);
    const Bytes once = readFileBytes(archive);
    ASSERT_EQ(run({"replace", "a.xcr", "0=new", "1=new"}).status, 0);
    const Bytes twice = readFileBytes(archive);

    result = run({"history", "a.xcr"});
    EXPECT_EQ(result.status, 0);
    const auto newest = result.out.find("\n   1  ");
    const auto older = result.out.find("\n   2  ");
    ASSERT_NE(newest, std::string::npos) << result.out;
    ASSERT_NE(older, std::string::npos) << result.out;
    EXPECT_NE(result.out.find("0 wall.bmp, 1 wall.bmp\n", newest), std::string::npos);
    EXPECT_NE(result.out.find("2 readme.txt\n", older), std::string::npos);
    EXPECT_EQ(result.out.find("cannot"), std::string::npos);
    EXPECT_EQ(run({"undo", "a.xcr", "--steps", "0"}).status, 2);

    Bytes changed = twice;
    changed[24] ^= 1;
    writeFileBytes(archive, changed);
    EXPECT_NE(run({"history", "a.xcr"}).out.find("(cannot be undone: the archive was changed"),
              std::string::npos);
    result = run({"undo", "a.xcr"});
    EXPECT_EQ(result.status, 1);
    EXPECT_EQ(result.err.rfind("xcrtool: The archive a.xcr was changed since its last save", 0), 0u)
        << result.err;
    EXPECT_EQ(readFileBytes(archive), changed);

    writeFileBytes(archive, twice);
    result = run({"undo", "a.xcr", "--steps", "2"});
    EXPECT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(result.out, "a.xcr: save 1 undone\na.xcr: save 2 undone\n");
    EXPECT_EQ(readFileBytes(archive), old);
    result = run({"undo", "a.xcr"});
    EXPECT_EQ(result.status, 1);
    EXPECT_EQ(result.err.rfind("xcrtool: No save of a.xcr can be undone", 0), 0u) << result.err;
    expectArchiveUnchanged();
}

}  // namespace
}  // namespace xcr::test
