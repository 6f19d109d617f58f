#include "archive/ExtractionJob.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <functional>
#include <memory>
#include <thread>

#include "archive/Directory.h"
#include "archive/EntryCopy.h"
#include "archive/FileFaults.h"
#include "tests/support/FakeJobHost.h"
#include "tests/support/XcrBuilder.h"

namespace xcr {
namespace {

using test::Bytes;
using test::FakeJobHost;
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
    // Writes the archive, reads it into the table and lists it in a fresh host whose
    // chooser gives the output folder.
    void openArchive(const XcrBuilder& builder) {
        archive = builder.writeTo(archivePath());
        entries.assign(readDirectory(archivePath()));
        std::vector<std::string> names;
        for (int i = 0; i < entries.count(); ++i) {
            names.push_back(entries.displayName(i));
        }
        freshHost(names);
    }

    void freshHost(std::vector<std::string> names) {
        host = std::make_unique<FakeJobHost>(std::move(names));
        host->setChooserFolder(out->path());
    }

    JobOutcome extract() { return runExtraction(archivePath(), entries, *host); }
    std::string archivePath() const { return dir.file("a.xcr"); }
    std::string output(const std::string& name) const { return out->file(name); }

    test::TempDir dir;
    std::unique_ptr<test::TempDir> out = std::make_unique<test::TempDir>();
    EntryTable entries;
    std::unique_ptr<FakeJobHost> host;
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
    openArchive(eightEntries());
    host->setChecked(2, true);
    host->setChecked(5, true);
    EXPECT_TRUE(extract().ok());
    EXPECT_EQ(host->progressMax(), 7);
    EXPECT_EQ(host->progressPositions(), (std::vector<int>{2, 5}));
    for (unsigned i = 0; i < 8; ++i) {
        const std::string path = output("e" + std::to_string(i));
        if (i == 2 || i == 5) {
            EXPECT_EQ(test::readFileBytes(path), test::patternBytes(100 + i, i));
        } else {
            EXPECT_FALSE(exists(path)) << path;
        }
    }
    EXPECT_EQ(host->lockReleases(), 1);
    EXPECT_EQ(test::readFileBytes(archivePath()), archive);
}

TEST_F(ExtractionJobTest, NothingCheckedStillAsksForTheFolderAndSetsOnlyTheMaximum) {
    openArchive(eightEntries());
    EXPECT_TRUE(extract().ok());
    EXPECT_EQ(host->chooserShown(), 1);
    EXPECT_EQ(host->progressMax(), 7);
    EXPECT_TRUE(host->progressPositions().empty());
    EXPECT_TRUE(std::filesystem::is_empty(out->path()));
    EXPECT_EQ(host->lockReleases(), 1);
}

TEST_F(ExtractionJobTest, MarksAreReadOnlyAsTheLoopReachesEachEntry) {
    openArchive(XcrBuilder().add("a", "1").add("b", "2").add("c", "3"));
    host->setChecked(0, true);
    host->setChecked(2, true);
    ASSERT_TRUE(extract().ok());
    EXPECT_EQ(host->calls(), (std::vector<std::string>{
                                 "chooser", "count", "max 2", "checked 0", "name 0", "position 0",
                                 "checked 1", "checked 2", "name 2", "position 2", "release"}));
}

TEST_F(ExtractionJobTest, SelectAllOrDeselectAllMidJobCountsForEntriesNotYetReached) {
    for (const bool selectAll : {true, false}) {
        XcrBuilder builder;
        for (unsigned i = 0; i < 10; ++i) {
            builder.add("f" + std::to_string(i), test::patternBytes(10, i));
        }
        out = std::make_unique<test::TempDir>();
        openArchive(builder);
        host->setChecked(1, true);
        host->setChecked(6, !selectAll);
        host->setAllWhenReached(4, selectAll);
        ASSERT_TRUE(extract().ok());
        const std::vector<int> expected =
            selectAll ? std::vector<int>{1, 4, 5, 6, 7, 8, 9} : std::vector<int>{1};
        EXPECT_EQ(host->progressPositions(), expected) << selectAll;
        EXPECT_FALSE(exists(output("f3")));
    }
}

TEST_F(ExtractionJobTest, EqualNamesLeaveTheLaterBytesAndOldFilesAreOverwritten) {
    openArchive(XcrBuilder()
                    .add("art\\wall.bmp", "first")
                    .add("snd\\wall.bmp", "second")
                    .add("empty", "")
                    .add("../../escape", "kept inside"));
    test::writeFileBytes(output("empty"), test::bytesOf("older and longer"));
    host->setAllChecked(true);
    ASSERT_TRUE(extract().ok());
    EXPECT_EQ(test::readFileBytes(output("wall.bmp")), test::bytesOf("second"));
    EXPECT_TRUE(test::readFileBytes(output("empty")).empty());
    EXPECT_EQ(test::readFileBytes(output(".._.._escape")), test::bytesOf("kept inside"));
}

TEST_F(ExtractionJobTest, QuietEndsReleaseTheLockAndWriteNothing) {
    openArchive(XcrBuilder().add("a", "1"));
    host->setAllChecked(true);
    // No archive was ever opened: not even the chooser.
    EXPECT_TRUE(runExtraction("", entries, *host).ok());
    EXPECT_EQ(host->calls(), (std::vector<std::string>{"release"}));
    // No folder confirmed in this run.
    freshHost({"a"});
    host->setAllChecked(true);
    host->setChooserFolder("");
    EXPECT_TRUE(extract().ok());
    EXPECT_EQ(host->calls(), (std::vector<std::string>{"chooser", "release"}));
    // An empty list: the chooser, then nothing; the progress bar keeps its range.
    openArchive(XcrBuilder().add("a", "1").declaredCount(1));
    EXPECT_TRUE(extract().ok());
    EXPECT_EQ(host->calls(), (std::vector<std::string>{"chooser", "count", "release"}));
    EXPECT_FALSE(exists(output("a")));
}

TEST_F(ExtractionJobTest, ChooserBlocksTheJobOnItsWorkerThreadUntilAnswered) {
    openArchive(XcrBuilder().add("a", "alpha").add("b", "beta"));
    host->setAllChecked(true);
    host->holdChooser();
    JobOutcome outcome;
    std::thread worker([&] { outcome = extract(); });
    host->waitUntilChooserShown();
    EXPECT_EQ(host->lockReleases(), 0);
    host->answerChooser(out->path());
    worker.join();
    EXPECT_TRUE(outcome.ok());
    EXPECT_EQ(test::readFileBytes(output("b")), test::bytesOf("beta"));
    EXPECT_EQ(host->lockReleases(), 1);
}

TEST_F(ExtractionJobTest, AnArchiveThatCannotBeOpenedIsReportedWithoutTheChooser) {
    openArchive(XcrBuilder().add("a", "1"));
    host->setAllChecked(true);
    const JobOutcome missing = runExtraction(dir.file("gone.xcr"), entries, *host);
    EXPECT_EQ(missing.failure, "Cannot open file " + dir.file("gone.xcr"));
    File held = File::open(archivePath(), File::Access::Read);
    EXPECT_EQ(extract().failure, "Cannot open file " + archivePath());
    EXPECT_EQ(host->chooserShown(), 0);
    EXPECT_EQ(host->lockReleases(), 2);
}

TEST_F(ExtractionJobTest, AnOutputThatCannotBeCreatedEndsTheJobKeepingEarlierFiles) {
    for (const std::string refused : {"sub", ""}) {
        out = std::make_unique<test::TempDir>();
        ASSERT_EQ(::mkdir(output("sub").c_str(), 0700), 0);
        openArchive(XcrBuilder().add("a", "alpha").add(refused, "x").add("c", "gamma"));
        host->setAllChecked(true);
        EXPECT_EQ(extract().failure, "Cannot create file " + output(refused));
        EXPECT_EQ(test::readFileBytes(output("a")), test::bytesOf("alpha"));
        EXPECT_FALSE(exists(output("c")));
        EXPECT_EQ(host->progressPositions(), std::vector<int>{0});
        EXPECT_EQ(host->lockReleases(), 1);
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
         false, "Cannot create file " + output("folder"), Left::Folder},
        {"survivor", olderFile, true, "Stream read error", Left::OlderBytes},
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
        openArchive(builder);
        host->setAllChecked(true);
        EXPECT_EQ(extract().failure, c.failure);

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
    openArchive(XcrBuilder().add("a", "alpha").add("b", "beta"));
    host->setAllChecked(true);
    test::TempDir elsewhere;
    const std::string moved = dir.file("moved");
    host->onFirstProgress(0, [&] {
        ASSERT_EQ(::rename(out->path().c_str(), moved.c_str()), 0);
        ASSERT_EQ(::symlink(elsewhere.path().c_str(), out->path().c_str()), 0);
    });
    EXPECT_TRUE(extract().ok());
    EXPECT_EQ(namesIn(moved), (std::vector<std::string>{"a", "b"}));
    EXPECT_TRUE(namesIn(elsewhere.path()).empty());
}

TEST_F(ExtractionJobTest, DataPastTheEndOfTheArchiveLeavesNoFileForThatEntry) {
    XcrBuilder builder;
    builder.add("a", "alpha").add("b", "0123456789").add("c", "gamma");
    const auto offsets = builder.offsets();
    openArchive(builder.truncateTo(static_cast<std::size_t>(offsets[1]) + 4));
    host->setAllChecked(true);
    EXPECT_EQ(extract().failure, "Stream read error");
    EXPECT_EQ(test::readFileBytes(output("a")), test::bytesOf("alpha"));
    EXPECT_EQ(namesIn(out->path()), std::vector<std::string>{"a"});
}

// Runs with copies made by the kernel, and through the buffer (as across file systems).
class ExtractionFaultTest : public ExtractionJobTest, public ::testing::WithParamInterface<bool> {
protected:
    void SetUp() override {
        FileFaults::setKernelCopy(GetParam() ? FileFaults::KernelCopy::WhereverPossible
                                             : FileFaults::KernelCopy::Never);
    }
    void TearDown() override { FileFaults::setKernelCopy(FileFaults::KernelCopy::WhereFaster); }
};

// Every file call the job makes is failed in turn, over older files of the same names:
// files written before the failure are complete, the one in hand and later ones keep
// their older bytes, and no temporary file is left.
TEST_P(ExtractionFaultTest, EveryFailingFileCallIsReportedAndNoFileIsHalfWritten) {
    const std::vector<Bytes> data = {test::patternBytes(kCopyBufferSize + 300, 1), Bytes{},
                                     test::patternBytes(700, 2)};
    const XcrBuilder builder = XcrBuilder().add("a", data[0]).add("b", data[1]).add("c", data[2]);
    openArchive(builder);
    host->setAllChecked(true);
    FileFaults::arm({});
    ASSERT_TRUE(extract().ok());
    const std::uint64_t calls = FileFaults::counted();
    FileFaults::disarm();
    RecordProperty("failurePoints", static_cast<int>(calls));

    const std::vector<std::string> names = {"a", "b", "c"};
    for (std::uint64_t k = 1; k <= calls; ++k) {
        out = std::make_unique<test::TempDir>();
        for (const std::string& name : names) {
            test::writeFileBytes(output(name), test::bytesOf("older " + name));
        }
        freshHost(names);
        host->setAllChecked(true);
        FileFaults::arm({k});
        const JobOutcome outcome = extract();
        FileFaults::disarm();
        SCOPED_TRACE("failing call " + std::to_string(k) + ": " + outcome.failure);
        EXPECT_FALSE(outcome.ok());
        EXPECT_EQ(host->lockReleases(), 1);
        const std::size_t done = host->progressPositions().size();
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
