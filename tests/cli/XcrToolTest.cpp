#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>

#include <filesystem>
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

// Every file under `folder`, by its path relative to it, links not followed.
std::map<std::string, Bytes> treeOf(const std::string& folder) {
    std::map<std::string, Bytes> files;
    for (const auto& item : std::filesystem::recursive_directory_iterator(folder)) {
        if (item.is_regular_file()) {
            const std::string path = item.path().string();
            files[path.substr(folder.size() + 1)] = readFileBytes(path);
        }
    }
    return files;
}

TEST_F(XcrToolTest, ExtractWritesTheChosenEntriesByteForByteUnderTheirSafeNames) {
    using Files = std::map<std::string, Bytes>;
    const Bytes wall = bytesOf("BM wall"), other = bytesOf("BM other");
    const Bytes readme = bytesOf("read me"), wave = bytesOf("RIFF");
    const std::string shared =
        "xcrtool: Entries that share a file name were written over each other, the last one "
        "kept: \"wall.bmp\" (entries 0, 1); --paths writes each under its folders\n";
    // The arguments after the archive, the folder written, what it then holds, the names
    // -v gives on standard output and what the tool says on standard error (ending with
    // status 1 when it says anything).
    const std::vector<std::tuple<Args, std::string, Files, std::string, std::string>> cases = {
        // Two entries of one name: the later one is written last.
        {{},
         ".",
         {{"wall.bmp", other}, {"readme.txt", readme}, {"\xe9t\xe9.wav", wave}, {"empty", {}}},
         "",
         shared},
        {{"-o", "out", "*.bmp", "-v"},
         "out",
         {{"wall.bmp", other}},
         "wall.bmp\nwall.bmp\n",
         shared},
        {{"0", "0", "-C", "made"}, "made", {{"wall.bmp", wall}}, "", ""},
        {{"--verbose", "--output", "out", "--", "\xc3\xa9t\xc3\xa9.wav", "2"},
         "out",
         {{"\xe9t\xe9.wav", wave}, {"readme.txt", readme}},
         "readme.txt\n\xe9t\xe9.wav\n",
         ""},
        {{"-o", "out", "r?adme.*", "4"}, "out", {{"readme.txt", readme}, {"empty", {}}}, "", ""},
        {{"--paths", "-v", "-o", "out"},
         "out",
         {{"art/wall.bmp", wall},
          {"snd/wall.bmp", other},
          {"c/readme.txt", readme},
          {"\xe9t\xe9.wav", wave},
          {"empty", {}}},
         "art/wall.bmp\nsnd/wall.bmp\nc/readme.txt\n\xe9t\xe9.wav\nempty\n",
         ""},
    };
    for (std::size_t i = 0; i < cases.size(); ++i) {
        const auto& [arguments, written, files, listed, err] = cases[i];
        SCOPED_TRACE(::testing::PrintToString(arguments));
        const std::string folder = dir.file("run" + std::to_string(i));
        ASSERT_EQ(::mkdir(folder.c_str(), 0700), 0);
        Args command = {"extract", archive};
        command.insert(command.end(), arguments.begin(), arguments.end());
        const auto result = run(command, folder);
        EXPECT_EQ(result.status, err.empty() ? 0 : 1);
        EXPECT_EQ(result.out, listed);
        EXPECT_EQ(result.err, err);
        EXPECT_EQ(treeOf(folder + "/" + written), files);
    }
}

TEST_F(XcrToolTest, VersionGoesToStandardOutputUnderBothNames) {
    for (const char* flag : {"-V", "--version"}) {
        const auto result = run({flag});
        EXPECT_EQ(result.status, 0);
        EXPECT_EQ(result.out, std::string("xcrtool ") + XCR_VERSION + "\n");
    }
}

TEST_F(XcrToolTest, ExtractWithPathsKeepsHostileStoredNamesInsideTheFolder) {
    builderOf({{"..\\..\\up.txt", bytesOf("up")},
               {"\\abs:\\root.txt", bytesOf("root")},
               {"abs\\root.txt", bytesOf("same path")},
               {".\\a/b\\c.txt", bytesOf("c")},
               {"link\\in.txt", bytesOf("in")}})
        .writeTo(archive);
    const std::string out = dir.file("in/out");
    for (const std::string& folder : {dir.file("in"), out, dir.file("elsewhere")}) {
        ASSERT_EQ(::mkdir(folder.c_str(), 0700), 0);
    }
    ASSERT_EQ(::symlink(dir.file("elsewhere").c_str(), (out + "/link").c_str()), 0);

    const auto files = run({"extract", "a.xcr", "--paths", "-o", "in/out", "*up*", "*root*", "c*"});
    EXPECT_EQ(files.status, 1);
    EXPECT_EQ(files.err,
              "xcrtool: Entries that share a file name were written over each other, the last "
              "one kept: \"abs/root.txt\" (entries 1, 2)\n");
    EXPECT_EQ(treeOf(dir.file("in")),
              (std::map<std::string, Bytes>{{"out/__/__/up.txt", bytesOf("up")},
                                            {"out/abs/root.txt", bytesOf("same path")},
                                            {"out/a_b/c.txt", bytesOf("c")}}));
    const auto refused = run({"extract", "a.xcr", "--paths", "-o", "in/out", "in.txt"});
    EXPECT_EQ(refused.status, 1);
    EXPECT_EQ(refused.err, "xcrtool: Cannot create folder in/out/link: Not a directory\n");
    EXPECT_TRUE(filesIn(dir.file("elsewhere")).empty());
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

TEST_F(XcrToolTest, ReplaceFromAFolderSavesWhatMatchedAndADryRunSavesNothing) {
    ASSERT_EQ(::mkdir(dir.file("edit").c_str(), 0700), 0);
    writeFileBytes(dir.file("edit/readme.txt"), bytesOf("new text"));
    writeFileBytes(dir.file("edit/notes"), bytesOf("n"));
    const std::string summary = " 1 replacement from edit.\nMatching no entry: notes.\n";
    Entries saved = entries;
    saved[2].second = bytesOf("new text");
    // The arguments after the archive, standard output and the archive's entries after.
    const std::vector<std::tuple<Args, std::string, Entries>> cases = {
        {{"--from", "edit", "--dry-run"},
         "Would record" + summary + "entry 2 \"readme.txt\": edit/readme.txt (7 -> 8 bytes)\n",
         entries},
        {{"--dry-run", "3=edit/notes"},
         "entry 3 \"\xc3\xa9t\xc3\xa9.wav\": edit/notes (4 -> 1 bytes)\n",
         entries},
        {{"--from", "edit"}, "Recorded" + summary, saved},
    };
    for (const auto& [arguments, out, after] : cases) {
        SCOPED_TRACE(::testing::PrintToString(arguments));
        Args command = {"replace", "a.xcr"};
        command.insert(command.end(), arguments.begin(), arguments.end());
        const auto result = run(command);
        EXPECT_EQ(result.status, 0);
        EXPECT_EQ(result.out, out);
        EXPECT_EQ(result.err, "");
        EXPECT_EQ(readFileBytes(archive), after == entries ? old : expectedAfterSave(after, old));
    }
}

TEST_F(XcrToolTest, ExtractToStandardOutputWritesOneEntrysBytesOnly) {
    for (const auto& [entry, data] : std::vector<std::pair<std::string, std::string>>{
             {"1", "BM other"}, {"\xc3\xa9t\xc3\xa9.wav", "RIFF"}, {"empty", ""}}) {
        const auto result = run({"extract", "a.xcr", "--stdout", entry});
        EXPECT_EQ(std::make_pair(result.status, result.out + result.err), std::make_pair(0, data));
    }
}

// Every failure: its exit status, nothing on standard output, exactly this one line on
// standard error, and nothing written.
TEST_F(XcrToolTest, FailuresEndWithOneLineAndChangeNothing) {
    writeFileBytes(dir.file("new"), bytesOf("new"));
    const std::vector<std::tuple<Args, int, std::string>> cases = {
        {{"extract", "a.xcr", "-o", "out", "0", "nope"}, 1, "No entry matches \"nope\""},
        {{"extract", "a.xcr", "-o", "out", "--", "-v"}, 1, "No entry matches \"-v\""},
        {{"extract", "a.xcr", "-o", "new", "0"}, 1, "Cannot create folder new: Not a directory"},
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
        {{"extract", "a.xcr", "--stdout", "wall.bmp"},
         1,
         "\"wall.bmp\" chooses 2 entries; --stdout writes one (give its index)"},
        {{"replace", "a.xcr", "--from", "missing"},
         1,
         "Cannot open folder missing: No such file or directory"},
        {{"replace", "a.xcr", "--dry-run", "0=missing"},
         1,
         "Cannot open file missing: No such file or directory"},
        {{"list", "missing.xcr"}, 1, "Cannot open file missing.xcr: No such file or directory"},
        {{"replace", "missing.xcr", "0=new"},
         1,
         "Cannot open file missing.xcr: No such file or directory"},
        {{"check", "missing.xcr"}, 1, "Cannot open file missing.xcr: No such file or directory"},
        {{},
         2,
         "A subcommand is required; the subcommands are list, extract, replace, history, undo, "
         "check, diff, apply and patch-info (see xcrtool --help)"},
        {{"lsit", "a.xcr"},
         2,
         "Unknown subcommand \"lsit\"; the subcommands are list, extract, replace, history, "
         "undo, check, diff, apply and patch-info (see xcrtool --help)"},
        {{"extract", "a.xcr", "-o", "-", "0"},
         2,
         "standard output is no folder; write one entry there with --stdout, or name a folder "
         "\"-\" as ./- (see xcrtool --help)"},
        {{"list"}, 2, "the ARCHIVE is missing (see xcrtool --help)"},
        {{"list", "-"},
         2,
         "standard input cannot be an archive: an archive is read and changed in place (name a "
         "file \"-\" as ./-) (see xcrtool --help)"},
        {{"list", "a.xcr", "b.xcr"}, 2, "\"b.xcr\" is one argument too many (see xcrtool --help)"},
        {{"list", "a.xcr", "x", "--bogus"}, 2, "unknown option --bogus (see xcrtool --help)"},
        {{"list", "a.xcr", "--json=x"}, 2, "--json takes no value (see xcrtool --help)"},
        {{"extract", "a.xcr", "-o", "out", "-o", "out"},
         2,
         "give --output once (see xcrtool --help)"},
        {{"extract", "a.xcr", "-o"}, 2, "--output needs its DIR (see xcrtool --help)"},
        {{"extract", "a.xcr", "-o", ""}, 2, "the folder given with -o is empty"},
        {{"replace", "a.xcr"}, 2, "give ENTRY=FILE replacements, --from DIR or both"},
        {{"extract", "a.xcr", "--stdout"}, 2, "--stdout writes exactly one ENTRY"},
        {{"extract", "a.xcr", "--stdout", "0", "-o", "out"},
         2,
         "--output and --stdout cannot be given together (see xcrtool --help)"},
        {{"replace", "a.xcr", "0=new", "noequals"}, 2, "\"noequals\" is not ENTRY=FILE"},
        {{"undo", "a.xcr", "--steps", "0"},
         2,
         "--steps takes a whole number from 1, not \"0\" (see xcrtool --help)"},
        {{"undo", "a.xcr", "--steps", "2x"},
         2,
         "--steps takes a whole number from 1, not \"2x\" (see xcrtool --help)"},
        {{"undo", "a.xcr", "--steps", "99999999999"},
         2,
         "--steps takes a whole number from 1, not \"99999999999\" (see xcrtool --help)"},
    };
    for (const auto& [arguments, status, text] : cases) {
        SCOPED_TRACE(::testing::PrintToString(arguments));
        const auto result = run(arguments);
        EXPECT_EQ(result.status, status);
        EXPECT_EQ(result.out, "");
        EXPECT_EQ(result.err, "xcrtool: " + text + "\n");
        expectArchiveUnchanged();
        EXPECT_FALSE(exists(dir.file("out")));
    }
}

// A reader that went away ends the command quietly, with the status SIGPIPE would give.
TEST_F(XcrToolTest, AClosedStandardOutputEndsQuietly) {
    for (const Args& arguments :
         {Args{"list", "a.xcr"}, Args{"extract", "a.xcr", "--stdout", "1"}}) {
        const auto unread = run(arguments, {}, true);
        EXPECT_EQ(std::make_pair(unread.status, unread.err), std::make_pair(141, std::string()));
    }
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

// Any file lists as an archive, with the status of a whole one; one whose directory does
// not fit it gets one line of warning, naming the first problem.
TEST_F(XcrToolTest, ListAndExtractWarnOnceWhenTheDirectoryDoesNotFitTheFile) {
    Bytes cut = old;
    cut.resize(old.size() - 3);
    const std::string cutShort =
        "a.xcr does not hold together: entry 3 \"\xc3\xa9t\xc3\xa9.wav\": its data (4 bytes at "
        "offset 3498) ends at byte 3502, past the end of the file (3499 bytes) (see xcrtool "
        "check)";
    const std::vector<std::tuple<Bytes, Args, std::string>> cases = {
        {cut, {"list", "a.xcr"}, cutShort},
        {cut, {"extract", "a.xcr", "-o", "out", "0"}, cutShort},
        {bytesOf("plain text\n"),
         {"list", "a.xcr", "--json"},
         "a.xcr does not hold together: the file (11 bytes) is shorter than the header (284 "
         "bytes) (see xcrtool check)"},
        {old, {"list", "a.xcr"}, ""},
    };
    for (const auto& [bytes, arguments, warning] : cases) {
        SCOPED_TRACE(::testing::PrintToString(arguments));
        writeFileBytes(archive, bytes);
        const auto result = run(arguments);
        EXPECT_EQ(result.status, 0);
        EXPECT_EQ(result.err, warning.empty() ? "" : "xcrtool: warning: " + warning + "\n");
    }
}

// A downloaded archive carries a journal made elsewhere for an archive of the same name;
// extracted beside this one, it is never applied: the archive keeps every byte, opening
// warns, and a save is refused until the file is moved away.
TEST_F(XcrToolTest, AJournalPlantedByAnotherArchiveIsNeverApplied) {
    TempDir elsewhere;
    const std::string twin = elsewhere.file("a.xcr");
    writeFileBytes(twin, old);
    test::interruptSave(twin, 12345, 100);
    const std::string mod = elsewhere.file("mod.xcr");
    XcrBuilder().add("patch\\a.xcr-journal", readFileBytes(twin + "-journal")).writeTo(mod);
    writeFileBytes(dir.file("new"), bytesOf("new"));

    EXPECT_EQ(run({"extract", mod, "-o", dir.path()}).status, 0);
    ASSERT_TRUE(exists(archive + "-journal"));
    const auto listed = run({"list", "a.xcr"});
    EXPECT_EQ(listed.status, 0);
    EXPECT_NE(listed.err.find("is not this archive's journal (it was written for another file)"),
              std::string::npos)
        << listed.err;
    const auto saved = run({"replace", "a.xcr", "0=new"});
    EXPECT_EQ(saved.status, 1);
    EXPECT_NE(saved.err.find("Move it away before saving."), std::string::npos) << saved.err;
    EXPECT_EQ(readFileBytes(archive), old);
    EXPECT_EQ(readFileBytes(archive + "-journal"), readFileBytes(twin + "-journal"));
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
