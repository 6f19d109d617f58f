#include "archive/jobs/SaveJob.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <functional>

#include "archive/jobs/ReplacementSource.h"
#include "archive/os/Failure.h"
#include "archive/os/File.h"
#include "archive/os/KernelCopy.h"
#include "archive/store/OpenedArchive.h"
#include "tests/archive/SaveFixture.h"
#include "tests/support/FileFaults.h"

namespace xcr {
namespace {

using test::builderOf;
using test::Bytes;
using test::Entries;
using test::expectedAfterSave;
using test::XcrBuilder;

class SaveJobTest : public test::SaveFixture {};

Entries fourEntries() {
    return {{"a", test::patternBytes(300, 1)},
            {"b", test::patternBytes(400, 2)},
            {"c", test::patternBytes(500, 3)},
            {"d", test::patternBytes(200, 4)}};
}

TEST_F(SaveJobTest, WorkedExampleGivesTheDocumentedBytes) {
    Bytes file = test::patternBytes(3400, 9);
    test::putNumber(file, 20, 5);
    for (int i = 0; i < 4; ++i) {
        test::putNumber(file, 540 + 532 * i, 3000 + 100 * i);
        test::putNumber(file, 544 + 532 * i, 100);
    }
    openArchive(file);
    const Bytes replacement = test::patternBytes(300, 10);
    replace(2, replacement);
    ASSERT_TRUE(saveOnWorkerThread().ok());

    Bytes expected = file;
    test::putNumber(expected, 24, 3600);
    test::putNumber(expected, 1608, 300);
    test::putNumber(expected, 2136, 3500);
    expected.resize(3600);
    std::copy(replacement.begin(), replacement.end(), expected.begin() + 3200);
    std::copy(file.begin() + 3300, file.begin() + 3400, expected.begin() + 3500);
    EXPECT_EQ(test::readFileBytes(archivePath()), expected);
    EXPECT_EQ(progress->beeps(), 1);
    EXPECT_EQ(entries.placement(3).offset, 3500);
    EXPECT_EQ(entries.placement(2).size, 300);
    expectTableMatchesFile();
}

TEST_F(SaveJobTest, GrowingShrinkingAndTwoReplacementsGiveTheExpectedFile) {
    struct Case {
        const char* what;
        std::vector<std::pair<int, std::size_t>> replacements;  // entry, new size
    };
    for (const Case& c :
         {Case{"grow", {{1, 500}}}, Case{"shrink", {{1, 300}}}, Case{"two", {{0, 310}, {2, 520}}},
          Case{"none", {}}, Case{"last grows", {{3, 5000}}}, Case{"empties", {{0, 0}}},
          Case{"same size", {{2, 500}}}}) {
        SCOPED_TRACE(c.what);
        Entries entries = fourEntries();
        openArchive(builderOf(entries).build());
        for (const auto& [index, size] : c.replacements) {
            entries[static_cast<std::size_t>(index)].second = test::patternBytes(size, 20 + index);
            replace(index, entries[static_cast<std::size_t>(index)].second);
        }
        ASSERT_TRUE(save().ok());
        EXPECT_EQ(test::readFileBytes(archivePath()), expectedAfterSave(entries, original));
        expectTableMatchesFile();
        EXPECT_EQ(progress->maximum(), 3);
        EXPECT_EQ(progress->positions(),
                  (std::vector<int>{0, 1, 2, 3, 0, 1, 2, 3, 0, 1, 2, 3, 0, 1, 2, 3}));
        struct stat info {};
        EXPECT_NE(::lstat(journalPath().c_str(), &info), 0) << "the journal was left";
    }
}

TEST_F(SaveJobTest, SecondSaveAfterAShrinkWritesTheUnshortenedLength) {
    Entries entries = fourEntries();
    openArchive(builderOf(entries).build());
    entries[1].second = test::patternBytes(300, 7);
    replace(1, entries[1].second);
    ASSERT_TRUE(save().ok());
    const Bytes first = test::readFileBytes(archivePath());
    ASSERT_EQ(first.size(), original.size());
    ASSERT_EQ(test::numberAt(first, 24), static_cast<std::int32_t>(original.size() - 100));
    // Replacements survive the save: the same file is written again at the same place.
    ASSERT_TRUE(save().ok());
    Bytes expected = first;
    test::putNumber(expected, 24, static_cast<std::int32_t>(original.size()));
    EXPECT_EQ(test::readFileBytes(archivePath()), expected);
    expectTableMatchesFile();
}

TEST_F(SaveJobTest, UnlistedRecordAndNamesThatCannotBeFilesKeepTheirBytes) {
    const Entries entries = {{"art\\wall.bmp", test::bytesOf("first")},
                             {"snd\\wall.bmp", test::bytesOf("second")},
                             {"", test::bytesOf("nameless")},
                             {"..", test::bytesOf("dots")},
                             {"zero", {}}};
    openArchive(
        builderOf(entries).trailingRecord("hidden", test::patternBytes(50, 3)).gap(16).build());
    ASSERT_TRUE(save().ok());
    Bytes expected = original;
    test::putNumber(expected, 24, static_cast<std::int32_t>(original.size()));
    EXPECT_EQ(test::readFileBytes(archivePath()), expected);
    EXPECT_EQ(progress->beeps(), 0);
}

TEST_F(SaveJobTest, AnEntryThatStartsAtTheEndOfTheFileBeepsOnce) {
    const Entries entries = {{"a", test::bytesOf("x")}, {"empty", {}}};
    openArchive(builderOf(entries).build());
    ASSERT_TRUE(save().ok());
    EXPECT_EQ(progress->beeps(), 1);
    EXPECT_EQ(test::readFileBytes(archivePath()), expectedAfterSave(entries, original));
}

TEST_F(SaveJobTest, StagingFolderIsEmptiedOfFilesButSubfoldersStay) {
    openArchive(builderOf(fourEntries()).build());
    ASSERT_EQ(::mkdir((stagingDir.path() + "/sub").c_str(), 0700), 0);
    test::writeFileBytes(stagingDir.path() + "/sub/kept", test::bytesOf("k"));
    test::writeFileBytes(stagingDir.path() + "/temp.bmp", test::bytesOf("b"));
    ASSERT_TRUE(save().ok());
    EXPECT_TRUE(test::filesIn(stagingDir.path()).empty());
    EXPECT_EQ(test::filesIn(stagingDir.path() + "/sub"), std::vector<std::string>{"kept"});
}

TEST_F(SaveJobTest, QuietEndsTouchNothing) {
    openArchive(builderOf(fourEntries()).build());
    EXPECT_TRUE(runSave({HeldArchive(), entries, {}, stagingDir.path(), undo}, *progress).ok());
    EXPECT_TRUE(progress->calls().empty());
    // An empty list: opened and closed again, not even the total size is written.
    openArchive(builderOf(fourEntries()).declaredCount(1).build());
    EXPECT_TRUE(save().ok());
    EXPECT_TRUE(progress->calls().empty());
    expectUnchanged();
}

TEST_F(SaveJobTest, FailuresBeforeTheArchiveIsWrittenLeaveEverythingAsItWas) {
    XcrBuilder builder = builderOf(fourEntries());
    const auto offsets = builder.offsets();
    struct Case {
        const char* what;
        std::function<void()> arrange;
        std::function<std::string()> failure;
    };
    HeldArchive held;
    const std::string secondName = dir.file("b.xcr");
    constexpr off_t kPast2GiB = (off_t{1} << 31) + 100;
    const std::vector<Case> cases = {
        {"archive missing", [&] { std::remove(archivePath().c_str()); },
         [&] { return "Cannot open file " + archivePath() + ": No such file or directory"; }},
        {"archive held",
         [&] { held = HeldArchive::open(archivePath(), HeldArchive::Access::Read); },
         [&] {
             return "Cannot open file " + archivePath() +
                    ": the archive is in use by another program";
         }},
        {"replacement missing", [&] { replacements.record(2, dir.file("gone")); },
         [&] { return "Cannot open file " + dir.file("gone") + ": No such file or directory"; }},
        // A save cut off could be put back only through the name it was saved through.
        {"a second name", [&] { ASSERT_EQ(::link(archivePath().c_str(), secondName.c_str()), 0); },
         [&] {
             return "Save refused: the archive " + archivePath() +
                    " has 2 names (hard links), and a save cut off could be put back only "
                    "through the name it was saved through. Save a copy of it under a name of "
                    "its own instead; the archive was left unchanged.";
         }},
        {"past 2 GiB", [&] { ASSERT_EQ(::truncate(archivePath().c_str(), kPast2GiB), 0); },
         [&] {
             return "Save refused: the archive " + archivePath() + " is " +
                    std::to_string(kPast2GiB) +
                    " bytes long, too large for an archive, whose positions end at 2147483647; "
                    "the archive was left unchanged.";
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        openArchive(builder.build());
        replace(0, test::patternBytes(900, 5));
        c.arrange();
        EXPECT_EQ(save().failure, c.failure());
        held.close();
        std::remove(secondName.c_str());
        EXPECT_EQ(::truncate(archivePath().c_str(), static_cast<off_t>(original.size())),
                  std::string(c.what) == "archive missing" ? -1 : 0);
        if (std::string(c.what) != "archive missing") {
            expectUnchanged();
        }
    }
    // Data past the end of the archive.
    openArchive(builder.truncateTo(static_cast<std::size_t>(offsets[3]) + 10).build());
    EXPECT_EQ(save().failure, "Stream read error");
    expectUnchanged();
}

// Another program (or a second window of this one) rewrote the archive after it was
// opened here: a save from the stale table would write every later entry's bytes to
// the wrong place. It is refused, and the other program's change stays.
TEST_F(SaveJobTest, AnArchiveChangedSinceItWasOpenedIsRefusedUntouched) {
    const std::string refused = "The archive " + archivePath() +
                                " was changed by another program since it was opened. Open it "
                                "again before saving.";
    Entries changedEntries = fourEntries();
    changedEntries[0].second = test::patternBytes(320, 11);
    const Bytes changed = builderOf(changedEntries).build();
    for (const bool viaSecondSession : {false, true}) {
        SCOPED_TRACE(viaSecondSession ? "second session" : "other program");
        openArchive(builderOf(fourEntries()).build());
        replace(1, test::patternBytes(450, 6));
        Bytes expected = changed;
        if (viaSecondSession) {
            // A second window opened the same archive, replaced entry 0 and saved first.
            const EntryTable mine = entries;
            const ReplacementTable myReplacements = replacements;
            replacements.clear();
            replace(0, changedEntries[0].second);
            ASSERT_TRUE(save().ok());
            expected = test::readFileBytes(archivePath());
            entries = mine;
            replacements = myReplacements;
        } else {
            test::writeFileBytes(archivePath(), changed);
        }
        EXPECT_EQ(save().failure, refused);
        EXPECT_EQ(test::readFileBytes(archivePath()), expected);
        EXPECT_TRUE(progress->calls().empty());
    }
    // After opening it again, the save goes through.
    openArchive(test::readFileBytes(archivePath()));
    replace(1, test::patternBytes(450, 6));
    EXPECT_TRUE(save().ok());
    // And a second save of this window follows its own first one.
    replace(2, test::patternBytes(10, 7));
    EXPECT_TRUE(save().ok());
    expectTableMatchesFile();
}

// The archive cannot be opened for writing: here it was swapped for a folder.
TEST_F(SaveJobTest, AnArchiveThatCannotBeOpenedForWritingIsReportedUntouched) {
    openArchive(builderOf(fourEntries()).build());
    replace(1, test::patternBytes(50, 7));
    const std::string movedAside = dir.file("moved.xcr");
    ASSERT_EQ(std::rename(archivePath().c_str(), movedAside.c_str()), 0);
    ASSERT_EQ(::mkdir(archivePath().c_str(), 0700), 0);
    EXPECT_EQ(save().failure, "Cannot open file " + archivePath() + ": Is a directory");
    ASSERT_EQ(::rmdir(archivePath().c_str()), 0);
    ASSERT_EQ(std::rename(movedAside.c_str(), archivePath().c_str()), 0);
    expectUnchanged();
}

TEST_F(SaveJobTest, LayoutsThatWouldDestroyDataAreRefusedBeforeAnythingIsWritten) {
    // Entries 1 and 2 share their bytes; replacing 1 would move 2 over its new data.
    Bytes shared = builderOf(fourEntries()).build();
    const auto offsets = builderOf(fourEntries()).offsets();
    test::putNumber(shared, 540 + 532 * 2, offsets[1]);
    test::putNumber(shared, 544 + 532 * 2, 400);
    openArchive(shared);
    ASSERT_TRUE(save().ok()) << "shared bytes written back unchanged are harmless";
    openArchive(test::readFileBytes(archivePath()));
    replace(1, test::patternBytes(450, 6));
    EXPECT_EQ(
        save().failure,
        "Save refused: entries \"b\" and \"c\" would overlap; the archive was left unchanged");
    expectUnchanged();

    // Entries 0 and 2 share their bytes; growing entry 1 moves only entry 2.
    Bytes apart = builderOf(fourEntries()).build();
    test::putNumber(apart, 540 + 532 * 2, offsets[0]);
    test::putNumber(apart, 544 + 532 * 2, 300);
    openArchive(apart);
    replace(1, test::patternBytes(450, 6));
    EXPECT_EQ(
        save().failure,
        "Save refused: entries \"a\" and \"c\" would overlap; the archive was left unchanged");
    expectUnchanged();

    // Data placed inside the directory.
    Bytes inside = builderOf(fourEntries()).build();
    test::putNumber(inside, 540 + 532 * 3, 300);
    openArchive(inside);
    EXPECT_EQ(save().failure,
              "Save refused: entry \"d\" would overwrite the archive's directory; the archive "
              "was left unchanged");
    expectUnchanged();

    // A replacement of 2 GiB (sparse, so it costs no disk).
    openArchive(builderOf(fourEntries()).build());
    const std::string huge = dir.file("huge");
    test::writeFileBytes(huge, {});
    ASSERT_EQ(::truncate(huge.c_str(), std::int64_t{1} << 31), 0);
    replacements.record(3, huge);
    EXPECT_EQ(save().failure,
              "Save refused: the archive would reach 2 GiB or more; the archive was left "
              "unchanged");
    expectUnchanged();
}

// A replacement file that another program changes between the size pass and the data
// pass would leave a cut or overlong entry: the save fails and puts the archive back.
TEST_F(SaveJobTest, AReplacementThatChangesDuringTheSaveFailsItAndTheArchiveIsPutBack) {
    for (const std::size_t changedSize : {std::size_t{200}, std::size_t{900}, std::size_t{0}}) {
        SCOPED_TRACE(changedSize);
        openArchive(builderOf(fourEntries()).build());
        replace(1, test::patternBytes(500, 6));
        const std::string path = dir.file("replacement1");
        const JobOutcome outcome = save([&](test::FakeProgress& progress) {
            // The end of the size pass: its length has been taken.
            progress.onFirstPosition(
                3, [&] { test::writeFileBytes(path, test::patternBytes(changedSize, 8)); });
        });
        EXPECT_EQ(outcome.failure, "The replacement file " + path +
                                       " changed during the save (it no longer has 500 bytes); "
                                       "the archive was left unchanged");
        expectUnchanged();
    }
}

// A replacement is the file its name led to when it was chosen (a link the user named is
// followed then, once): a save reads that file or refuses, also when something else took
// its name since, whatever that is; a file the system makes up as it is read is none.
TEST_F(SaveJobTest, AReplacementIsTheFileChosenAndNoOtherTakesItsPlace) {
    const std::string chosen = dir.file("chosen");
    const std::string other = dir.file("other");
    const std::string swapped = "Cannot open file " + chosen +
                                ": it is no longer the file chosen to replace the entry (another "
                                "file or a link took its name); the archive was left unchanged";
    struct Case {
        const char* what;
        std::string named;                  // the name the user gives
        std::function<void()> afterChoice;  // what happens before the save
        std::string refusal;                // of the choice, or else of the save
        bool refusedWhenChosen = false;
    };
    const std::vector<Case> cases = {
        {"a link named by the user is its target", chosen, [] {}, ""},
        {"the link is pointed elsewhere", chosen,
         [&] {
             std::remove(chosen.c_str());
             ASSERT_EQ(::symlink(other.c_str(), chosen.c_str()), 0);
         },
         swapped},
        {"another file is renamed over it", chosen,
         [&] { ASSERT_EQ(std::rename(other.c_str(), chosen.c_str()), 0); }, swapped},
        {"a file of /proc", "/proc/self/environ", [] {},
         "Cannot open file /proc/self/environ: not a regular file (the system makes it up as it "
         "is read)",
         true},
        {"a fifo", dir.file("fifo"), [] {},
         "Cannot open file " + dir.file("fifo") + ": not a regular file", true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        openArchive(builderOf(fourEntries()).build());
        std::remove(chosen.c_str());
        std::remove(dir.file("fifo").c_str());
        ASSERT_EQ(::mkfifo(dir.file("fifo").c_str(), 0600), 0);
        test::writeFileBytes(dir.file("target"), test::patternBytes(77, 5));
        test::writeFileBytes(other, test::patternBytes(99, 6));
        ASSERT_EQ(::symlink(dir.file("target").c_str(), chosen.c_str()), 0);
        replacements.clear();
        try {
            replacements.record(1, c.named, identifyReplacement(c.named));
            EXPECT_FALSE(c.refusedWhenChosen);
        } catch (const Failure& failure) {
            EXPECT_EQ(failure.what(), c.refusal);
            // The window records such a name all the same: the save refuses it.
            replacements.record(1, c.named);
        }
        c.afterChoice();
        const JobOutcome outcome = save();
        if (c.refusal.empty()) {
            ASSERT_TRUE(outcome.ok()) << outcome.failure;
            EXPECT_EQ(entries.placement(1).size, 77);
        } else {
            EXPECT_EQ(outcome.failure.rfind(c.refusal.substr(0, 40), 0), 0u) << outcome.failure;
            expectUnchanged();
        }
    }
}

// Runs with copies made by the kernel, and through the buffer (as across file systems).
class SaveFaultTest : public SaveJobTest, public ::testing::WithParamInterface<bool> {
protected:
    void SetUp() override {
        setKernelCopy(GetParam() ? KernelCopy::WhereverPossible : KernelCopy::Never);
    }
    void TearDown() override { setKernelCopy(KernelCopy::WhereFaster); }
};

// Every file call of a save is failed in turn. Each time the archive must end either
// byte for byte as it was, with the failure reported and no journal left, or fully
// saved and reported so (a save whose undo record failed says it cannot be undone); and
// the next save must give the right file.
TEST_P(SaveFaultTest, EveryFailingFileCallLeavesTheArchiveWholeAndSaysWhich) {
    const Entries entries = {{"a", test::patternBytes(300, 1)},
                             {"b", test::patternBytes(40, 2)},
                             {"c", {}},
                             {"d", test::patternBytes(200, 4)}};
    const Bytes start = builderOf(entries).trailingRecord("t", test::patternBytes(30, 8)).build();
    auto openWithReplacement = [&] {
        std::filesystem::remove_all(undo.folder);
        openArchive(start);
        replace(1, test::patternBytes(90, 5));
    };
    openWithReplacement();
    FileFaults::arm({});
    ASSERT_TRUE(save().ok());
    const std::uint64_t calls = FileFaults::counted();
    FileFaults::disarm();
    const Bytes good = test::readFileBytes(archivePath());
    RecordProperty("failurePoints", static_cast<int>(calls));

    int failed = 0;
    int warned = 0;
    int unrecorded = 0;
    for (std::uint64_t k = 1; k <= calls; ++k) {
        openWithReplacement();
        FileFaults::arm({k});
        const JobOutcome outcome = saveOnWorkerThread();
        FileFaults::disarm();
        SCOPED_TRACE("failing call " + std::to_string(k) + ": " + outcome.failure);
        if (outcome.ok()) {
            // Past the moment the journal is gone the save is final, even when that
            // removal cannot be flushed: it is never put back, the user is warned.
            EXPECT_EQ(test::readFileBytes(archivePath()), good);
            expectTableMatchesFile();
            if (outcome.warning.find("this save cannot be undone") != std::string::npos) {
                // Its undo record failed: the save went on, and left no part of it.
                ++unrecorded;
                for (const std::string& name : test::filesIn(undo.folder)) {
                    EXPECT_EQ(name.find(".part"), std::string::npos) << name;
                }
            } else {
                warned += outcome.warning.empty() ? 0 : 1;
            }
        } else {
            ++failed;
            expectUnchanged();
        }
        openWithReplacement();
        ASSERT_TRUE(save().ok());
        EXPECT_EQ(test::readFileBytes(archivePath()), good);
    }
    EXPECT_GT(failed, 0);
    EXPECT_EQ(warned, 1);
    EXPECT_GT(unrecorded, 0);
}

INSTANTIATE_TEST_SUITE_P(CopyPaths, SaveFaultTest, ::testing::Bool(),
                         [](const auto& info) { return info.param ? "Kernel" : "Buffer"; });

}  // namespace
}  // namespace xcr
