#include "archive/jobs/ExtractionJob.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <memory>
#include <thread>

#include "archive/format/XcrLayout.h"
#include "archive/os/EntryCopy.h"
#include "archive/os/KernelCopy.h"
#include "archive/store/OpenedArchive.h"
#include "tests/support/FakeProgress.h"
#include "tests/support/FileFaults.h"
#include "tests/support/XcrBuilder.h"

namespace xcr {
namespace {

using test::Bytes;
using test::FakeProgress;
using test::XcrBuilder;

bool exists(const std::string& path) {
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0;
}

std::vector<std::string> namesIn(const std::string& folder) {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
}

class ExtractionJobTest : public ::testing::Test {
protected:
    // Writes the archive and reads it into the table, all marks clear.
    void write(const XcrBuilder& builder) {
        archive = builder.writeTo(archivePath());
        entries = openArchive(archivePath()).entries;
        marks = std::make_shared<CheckMarks>(entries.count());
    }

    JobOutcome extract() { return extractInto(out->path()); }
    JobOutcome extractInto(const std::string& folder) {
        progress = std::make_unique<FakeProgress>();
        return runExtraction({HeldArchive::attempt(archivePath()), folder, entries, marks},
                             *progress);
    }
    std::string archivePath() const { return dir.file("a.xcr"); }
    std::string output(const std::string& name) const { return out->file(name); }

    test::TempDir dir;
    std::unique_ptr<test::TempDir> out = std::make_unique<test::TempDir>();
    EntryTable entries;
    std::shared_ptr<CheckMarks> marks;
    std::unique_ptr<FakeProgress> progress = std::make_unique<FakeProgress>();
    Bytes archive;
};

XcrBuilder eightEntries() {
    XcrBuilder builder;
    for (unsigned i = 0; i < 8; ++i) {
        builder.add("dir\\e" + std::to_string(i), test::patternBytes(100 + i, i));
    }
    return builder;
}

TEST_F(ExtractionJobTest, WritesCheckedEntriesOnlyAndMovesProgressToTheirIndexes) {
    write(eightEntries());
    marks->set(2, true);
    marks->set(5, true);
    EXPECT_TRUE(extract().ok());
    EXPECT_EQ(progress->maximum(), 7);
    EXPECT_EQ(progress->positions(), (std::vector<int>{2, 5}));
    for (unsigned i = 0; i < 8; ++i) {
        const std::string path = output("e" + std::to_string(i));
        if (i == 2 || i == 5) {
            EXPECT_EQ(test::readFileBytes(path), test::patternBytes(100 + i, i));
        } else {
            EXPECT_FALSE(exists(path)) << path;
        }
    }
    EXPECT_EQ(test::readFileBytes(archivePath()), archive);
}

TEST_F(ExtractionJobTest, NothingCheckedSetsOnlyTheMaximum) {
    write(eightEntries());
    EXPECT_TRUE(extract().ok());
    EXPECT_EQ(progress->maximum(), 7);
    EXPECT_TRUE(progress->positions().empty());
    EXPECT_TRUE(std::filesystem::is_empty(out->path()));
}

TEST_F(ExtractionJobTest, SelectAllOrDeselectAllMidJobCountsForEntriesNotYetReached) {
    for (const bool selectAll : {true, false}) {
        XcrBuilder builder;
        for (unsigned i = 0; i < 10; ++i) {
            builder.add("f" + std::to_string(i), test::patternBytes(10, i));
        }
        out = std::make_unique<test::TempDir>();
        write(builder);
        marks->set(1, true);
        marks->set(3, true);
        marks->set(6, !selectAll);
        progress = std::make_unique<FakeProgress>();
        progress->onFirstPosition(3, [&] { marks->setAll(selectAll); });
        ASSERT_TRUE(
            runExtraction({HeldArchive::attempt(archivePath()), out->path(), entries, marks},
                          *progress)
                .ok());
        const std::vector<int> expected =
            selectAll ? std::vector<int>{1, 3, 4, 5, 6, 7, 8, 9} : std::vector<int>{1, 3};
        EXPECT_EQ(progress->positions(), expected) << selectAll;
        EXPECT_FALSE(exists(output("f2")));
    }
}

// The list changes the marks on its own thread while the job reads them: every file the
// job writes is whole, and it writes exactly the entries it reports.
TEST_F(ExtractionJobTest, MarksChangedFromAnotherThreadDuringTheJobAreSafe) {
    XcrBuilder builder;
    for (unsigned i = 0; i < 400; ++i) {
        builder.add("f" + std::to_string(i), test::patternBytes(64 + i, i));
    }
    write(builder);
    std::atomic<bool> done{false};
    std::thread list([&] {
        for (bool on = true; !done; on = !on) {
            marks->setAll(on);
        }
    });
    const JobOutcome outcome = extract();
    done = true;
    list.join();
    ASSERT_TRUE(outcome.ok());
    std::vector<int> written;
    for (unsigned i = 0; i < 400; ++i) {
        const std::string path = output("f" + std::to_string(i));
        if (exists(path)) {
            EXPECT_EQ(test::readFileBytes(path), test::patternBytes(64 + i, i));
            written.push_back(static_cast<int>(i));
        }
    }
    EXPECT_EQ(progress->positions(), written);
}

TEST_F(ExtractionJobTest, EqualNamesLeaveTheLaterBytesAndOldFilesAreOverwritten) {
    write(XcrBuilder()
              .add("art\\wall.bmp", "first")
              .add("snd\\wall.bmp", "second")
              .add("empty", "")
              .add("../../escape", "kept inside"));
    test::writeFileBytes(output("empty"), test::bytesOf("older and longer"));
    marks->setAll(true);
    ASSERT_TRUE(extract().ok());
    EXPECT_EQ(test::readFileBytes(output("wall.bmp")), test::bytesOf("second"));
    EXPECT_TRUE(test::readFileBytes(output("empty")).empty());
    EXPECT_EQ(test::readFileBytes(output(".._.._escape")), test::bytesOf("kept inside"));
}

TEST_F(ExtractionJobTest, QuietEndsWriteNothing) {
    write(XcrBuilder().add("a", "1"));
    marks->setAll(true);
    // No archive was ever opened.
    EXPECT_TRUE(
        runExtraction({HeldArchive::attempt(""), out->path(), entries, marks}, *progress).ok());
    // No folder confirmed: the chooser was cancelled or never confirmed in this run.
    EXPECT_TRUE(extractInto("").ok());
    EXPECT_TRUE(progress->calls().empty());
    // An empty list: nothing, and the progress bar keeps its range.
    write(XcrBuilder().add("a", "1").declaredCount(1));
    EXPECT_TRUE(extract().ok());
    EXPECT_TRUE(progress->calls().empty());
    EXPECT_FALSE(exists(output("a")));
}

TEST_F(ExtractionJobTest, AnArchiveThatCannotBeOpenedIsReported) {
    write(XcrBuilder().add("a", "1"));
    marks->setAll(true);
    const JobOutcome missing = runExtraction(
        {HeldArchive::attempt(dir.file("gone.xcr")), out->path(), entries, marks}, *progress);
    EXPECT_EQ(missing.failure,
              "Cannot open file " + dir.file("gone.xcr") + ": No such file or directory");
    const HeldArchive held = HeldArchive::open(archivePath(), HeldArchive::Access::Read);
    EXPECT_EQ(extract().failure,
              "Cannot open file " + archivePath() + ": the archive is in use by another program");
    EXPECT_TRUE(std::filesystem::is_empty(out->path()));
}

// The table was read before another program rewrote the archive, or a save of another
// window was cut off: its offsets would give wrong bytes, so nothing is written.
TEST_F(ExtractionJobTest, AnArchiveChangedSinceItWasOpenedIsRefusedWritingNothing) {
    const XcrBuilder builder = XcrBuilder().add("a", "alpha").add("b", "beta");
    struct Case {
        const char* what;
        std::function<void()> change;
        std::string failure;
    };
    const std::string changed = "The archive " + archivePath() +
                                " was changed by another program since it was opened. Open it "
                                "again before extracting.";
    const std::string journal = archivePath() + "-journal";
    const std::vector<Case> cases = {
        {"rewritten",
         [&] { XcrBuilder().add("a", "longer alpha").add("b", "beta").writeTo(archivePath()); },
         changed},
        {"cut short", [&] { ASSERT_EQ(::truncate(archivePath().c_str(), 500), 0); }, changed},
        // Listed while another program was still writing it, which went on to add records.
        {"listed while it was written",
         [&] {
             ASSERT_EQ(::truncate(archivePath().c_str(), layout::recordPos(1)), 0);
             entries = openArchive(archivePath()).entries;
             builder.writeTo(archivePath());
         },
         changed},
        {"journal beside it", [&] { test::writeFileBytes(journal, Bytes(600, 0)); },
         "The archive " + archivePath() + " has the journal of an interrupted save beside it (" +
             journal + "). Open the archive again: that puts it back as it was before that save."},
        {"another file's journal beside it",
         [&] { test::writeFileBytes(journal, test::bytesOf("planted")); },
         "The file " + journal + " lies beside the archive " + archivePath() +
             " where its journal goes, but it is not this archive's journal (it is not a journal "
             "of this program). Move it away before extracting."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        std::remove(journal.c_str());
        write(builder);
        marks->setAll(true);
        c.change();
        EXPECT_EQ(extract().failure, c.failure);
        EXPECT_TRUE(std::filesystem::is_empty(out->path()));
        EXPECT_TRUE(progress->calls().empty());
    }
}

TEST_F(ExtractionJobTest, AnOutputThatCannotBeCreatedEndsTheJobKeepingEarlierFiles) {
    for (const std::string refused : {"sub", ""}) {
        out = std::make_unique<test::TempDir>();
        ASSERT_EQ(::mkdir(output("sub").c_str(), 0700), 0);
        write(XcrBuilder().add("a", "alpha").add(refused, "x").add("c", "gamma"));
        marks->setAll(true);
        EXPECT_EQ(extract().failure.rfind("Cannot create file " + output(refused), 0), 0u);
        EXPECT_EQ(test::readFileBytes(output("a")), test::bytesOf("alpha"));
        EXPECT_FALSE(exists(output("c")));
        EXPECT_EQ(progress->positions(), std::vector<int>{0});
    }
}

// Whatever holds an entry's name in the folder is replaced whole once the entry's bytes
// are in, never opened and written through; a failing entry leaves it as it was. Files
// outside the folder never change, and no temporary file stays behind.
TEST_F(ExtractionJobTest, WhatHoldsAnEntryNameIsReplacedWholeNeverWrittenThrough) {
    enum class Left { EntryBytes, OlderBytes, Folder };
    struct Case {
        std::string name;
        std::function<int(const std::string& at)> place;
        bool archiveCutShort;
        std::string failure;
        Left left;
    };
    test::TempDir outside;
    const std::string kept = outside.file("kept");
    test::writeFileBytes(kept, test::bytesOf("outside bytes"));
    const auto olderFile = [](const std::string& at) {
        test::writeFileBytes(at, test::bytesOf("older"));
        return 0;
    };
    const std::vector<Case> cases = {
        {"link", [&](const std::string& at) { return ::symlink(kept.c_str(), at.c_str()); }, false,
         "", Left::EntryBytes},
        {"dangling",
         [&](const std::string& at) { return ::symlink(outside.file("none").c_str(), at.c_str()); },
         false, "", Left::EntryBytes},
        {"hardlink", [&](const std::string& at) { return ::link(kept.c_str(), at.c_str()); }, false,
         "", Left::EntryBytes},
        {"readonly",
         [&](const std::string& at) { return olderFile(at) + ::chmod(at.c_str(), 0444); }, false,
         "", Left::EntryBytes},
        {"folder",
         [&](const std::string& at) {
             const int made = ::mkdir(at.c_str(), 0700);
             return made + olderFile(at + "/inner");
         },
         false, "Cannot create file " + output("folder") + ": Is a directory", Left::Folder},
        {"survivor", olderFile, true, "Cannot read " + archivePath() + ": the data of entry 0",
         Left::OlderBytes},
    };
    std::vector<std::string> names;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        names.push_back(c.name);
        const std::string at = output(c.name);
        ASSERT_EQ(c.place(at), 0);
        XcrBuilder builder = XcrBuilder().add(c.name, "entry bytes");
        if (c.archiveCutShort) {
            builder.truncateTo(static_cast<std::size_t>(builder.offsets()[0]) + 5);
        }
        write(builder);
        marks->setAll(true);
        EXPECT_EQ(extract().failure.substr(0, c.failure.size()), c.failure);

        struct stat info {};
        ASSERT_EQ(::lstat(at.c_str(), &info), 0);
        if (c.left == Left::Folder) {
            EXPECT_TRUE(S_ISDIR(info.st_mode));
            EXPECT_EQ(test::readFileBytes(at + "/inner"), test::bytesOf("older"));
        } else {
            EXPECT_TRUE(S_ISREG(info.st_mode));
            EXPECT_EQ(test::readFileBytes(at),
                      test::bytesOf(c.left == Left::EntryBytes ? "entry bytes" : "older"));
        }
        EXPECT_EQ(namesIn(outside.path()), std::vector<std::string>{"kept"});
        EXPECT_EQ(test::readFileBytes(kept), test::bytesOf("outside bytes"));
    }
    std::sort(names.begin(), names.end());
    EXPECT_EQ(namesIn(out->path()), names);
}

TEST_F(ExtractionJobTest, AFolderPathSwappedForALinkMidJobDoesNotMoveTheFiles) {
    write(XcrBuilder().add("a", "alpha").add("b", "beta"));
    marks->setAll(true);
    test::TempDir elsewhere;
    const std::string moved = dir.file("moved");
    progress->onFirstPosition(0, [&] {
        ASSERT_EQ(::rename(out->path().c_str(), moved.c_str()), 0);
        ASSERT_EQ(::symlink(elsewhere.path().c_str(), out->path().c_str()), 0);
    });
    EXPECT_TRUE(
        runExtraction({HeldArchive::attempt(archivePath()), out->path(), entries, marks}, *progress)
            .ok());
    EXPECT_EQ(namesIn(moved), (std::vector<std::string>{"a", "b"}));
    EXPECT_TRUE(namesIn(elsewhere.path()).empty());
}

TEST_F(ExtractionJobTest, DataPastTheEndOfTheArchiveLeavesNoFileForThatEntry) {
    XcrBuilder builder;
    builder.add("a", "alpha").add("b", "0123456789").add("c", "gamma");
    const auto offsets = builder.offsets();
    write(builder.truncateTo(static_cast<std::size_t>(offsets[1]) + 4));
    marks->setAll(true);
    EXPECT_EQ(extract().failure,
              "Cannot read " + archivePath() + ": the data of entry 1 (10 bytes at offset " +
                  std::to_string(offsets[1]) + ") ends at byte " + std::to_string(offsets[1] + 10) +
                  ", past the end of the archive (" + std::to_string(offsets[1] + 4) + " bytes)");
    EXPECT_EQ(test::readFileBytes(output("a")), test::bytesOf("alpha"));
    EXPECT_EQ(namesIn(out->path()), std::vector<std::string>{"a"});
}

// Extracted into the archive's own folder, an entry named like the archive or its journal
// would replace the archive being read, or plant a journal that the next opening applies.
TEST_F(ExtractionJobTest, NoEntryTakesThePlaceOfTheArchiveOrItsJournal) {
    for (const std::string name : {"a.xcr", "a.xcr-journal"}) {
        SCOPED_TRACE(name);
        write(XcrBuilder().add("first", "1").add("data:" + name, "planted bytes"));
        marks->setAll(true);
        EXPECT_EQ(extractInto(dir.path()).failure,
                  "Cannot create file " + dir.file(name) +
                      ": it would take the place of the archive being read or its journal");
        EXPECT_EQ(test::readFileBytes(archivePath()), archive);
        EXPECT_FALSE(exists(dir.file("a.xcr-journal")));
        std::remove(dir.file("first").c_str());
    }
}

// Runs with copies made by the kernel, and through the buffer (as across file systems).
class ExtractionFaultTest : public ExtractionJobTest, public ::testing::WithParamInterface<bool> {
protected:
    void SetUp() override {
        setKernelCopy(GetParam() ? KernelCopy::WhereverPossible : KernelCopy::Never);
    }
    void TearDown() override { setKernelCopy(KernelCopy::WhereFaster); }
};

// Every file call the job makes is failed in turn, over older files of the same names:
// files written before the failure are complete, the one in hand and later ones keep
// their older bytes, and no temporary file is left.
TEST_P(ExtractionFaultTest, EveryFailingFileCallIsReportedAndNoFileIsHalfWritten) {
    const std::vector<Bytes> data = {test::patternBytes(kCopyBufferSize + 300, 1), Bytes{},
                                     test::patternBytes(700, 2)};
    const XcrBuilder builder = XcrBuilder().add("a", data[0]).add("b", data[1]).add("c", data[2]);
    write(builder);
    marks->setAll(true);
    FileFaults::arm({});
    ASSERT_TRUE(extract().ok());
    const std::uint64_t calls = FileFaults::counted();
    const std::vector<std::string> called = FileFaults::called();
    FileFaults::disarm();
    RecordProperty("failurePoints", static_cast<int>(calls));

    const std::vector<std::string> names = {"a", "b", "c"};
    for (std::uint64_t k = 1; k <= calls; ++k) {
        out = std::make_unique<test::TempDir>();
        for (const std::string& name : names) {
            test::writeFileBytes(output(name), test::bytesOf("older " + name));
        }
        FileFaults::arm({k});
        const JobOutcome outcome = extract();
        FileFaults::disarm();
        SCOPED_TRACE("failing call " + std::to_string(k) + " (" + called[k - 1] +
                     "): " + outcome.failure);
        // The buffer takes over from a kernel copy that fails; any other failure stops the job.
        EXPECT_EQ(outcome.ok(), called[k - 1] == "copyFileRange");
        const std::size_t done = progress->positions().size();
        for (std::size_t i = 0; i < names.size(); ++i) {
            EXPECT_EQ(test::readFileBytes(output(names[i])),
                      i < done ? data[i] : test::bytesOf("older " + names[i]));
        }
        EXPECT_EQ(namesIn(out->path()), names);
        EXPECT_EQ(test::readFileBytes(archivePath()), archive);
    }
}

INSTANTIATE_TEST_SUITE_P(CopyPaths, ExtractionFaultTest, ::testing::Bool(),
                         [](const auto& info) { return info.param ? "Kernel" : "Buffer"; });

}  // namespace
}  // namespace xcr
