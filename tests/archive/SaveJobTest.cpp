#include "archive/SaveJob.h"

#include <dirent.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <memory>
#include <thread>

#include "archive/Directory.h"
#include "archive/FileFaults.h"
#include "tests/support/FakeJobHost.h"
#include "tests/support/XcrBuilder.h"

namespace xcr {
namespace {

using test::Bytes;
using test::FakeJobHost;
using test::XcrBuilder;

using Entries = std::vector<std::pair<std::string, Bytes>>;

XcrBuilder builderOf(const Entries& entries) {
    XcrBuilder builder;
    for (const auto& [name, data] : entries) {
        builder.add(name, data);
    }
    return builder;
}

// What a save must give, worked out without the job: the entries laid out afresh with
// their new data, the total size field holding the new end of the data, and the old
// bytes past that end kept (the file is never shortened).
Bytes expectedAfterSave(const Entries& entries, const Bytes& old) {
    Bytes out = builderOf(entries).build();
    test::putNumber(out, 24, static_cast<std::int32_t>(out.size()));
    if (old.size() > out.size()) {
        out.insert(out.end(), old.begin() + static_cast<std::ptrdiff_t>(out.size()), old.end());
    }
    return out;
}

std::vector<std::string> filesIn(const std::string& folder) {
    std::vector<std::string> names;
    DIR* dir = ::opendir(folder.c_str());
    while (const dirent* entry = dir ? ::readdir(dir) : nullptr) {
        const std::string name = entry->d_name;
        struct stat info {};
        if (::stat((folder + "/" + name).c_str(), &info) == 0 && S_ISREG(info.st_mode)) {
            names.push_back(name);
        }
    }
    if (dir) {
        ::closedir(dir);
    }
    std::sort(names.begin(), names.end());
    return names;
}

class SaveJobTest : public ::testing::Test {
protected:
    void openArchive(const Bytes& bytes) {
        original = bytes;
        test::writeFileBytes(archivePath(), bytes);
        session.entries.assign(readDirectory(archivePath()));
        session.replacements.resetFor(session.entries.count());
        originalPlacements = session.entries.placements();
    }

    void replace(int index, const Bytes& data) {
        const std::string path = dir.file("replacement" + std::to_string(index));
        test::writeFileBytes(path, data);
        session.replacements.record(index, path);
    }

    JobOutcome save(const std::function<void(FakeJobHost&)>& prepare = {}) {
        host = std::make_unique<FakeJobHost>();
        if (prepare) {
            prepare(*host);
        }
        return runSave(archivePath(), session, *host);
    }

    JobOutcome saveOnWorkerThread() {
        host = std::make_unique<FakeJobHost>();
        JobOutcome outcome;
        std::thread worker([&] { outcome = runSave(archivePath(), session, *host); });
        worker.join();
        return outcome;
    }

    // The table describes the file on disk.
    void expectTableMatchesFile() {
        const auto records = readDirectory(archivePath());
        ASSERT_EQ(records.size(), static_cast<std::size_t>(session.entries.count()));
        for (std::size_t i = 0; i < records.size(); ++i) {
            const auto placement = session.entries.placement(static_cast<int>(i));
            EXPECT_EQ(placement.offset, records[i].offset) << i;
            EXPECT_EQ(placement.size, records[i].size) << i;
        }
    }

    // The archive and the table exactly as before the save, nothing left staged.
    void expectUnchanged() {
        EXPECT_EQ(test::readFileBytes(archivePath()), original);
        const auto placements = session.entries.placements();
        ASSERT_EQ(placements.size(), originalPlacements.size());
        for (std::size_t i = 0; i < placements.size(); ++i) {
            EXPECT_EQ(placements[i].offset, originalPlacements[i].offset) << i;
            EXPECT_EQ(placements[i].size, originalPlacements[i].size) << i;
        }
        EXPECT_EQ(host->lockReleases(), 1);
    }

    std::string archivePath() const { return dir.file("a.xcr"); }

    test::TempDir dir;
    test::TempDir stagingDir;
    ArchiveSession session{{}, {}, StagingFolder(stagingDir.path())};
    std::unique_ptr<FakeJobHost> host;
    Bytes original;
    std::vector<EntryTable::Placement> originalPlacements;
};

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
    EXPECT_EQ(host->beeps(), 1);
    EXPECT_EQ(session.entries.placement(3).offset, 3500);
    EXPECT_EQ(session.entries.placement(2).size, 300);
    EXPECT_EQ(host->lockReleases(), 1);
}

TEST_F(SaveJobTest, GrowingShrinkingAndTwoReplacementsGiveTheExpectedFile) {
    struct Case {
        const char* what;
        std::vector<std::pair<int, std::size_t>> replacements;  // entry, new size
    };
    for (const Case& c :
         {Case{"grow", {{1, 500}}}, Case{"shrink", {{1, 300}}}, Case{"two", {{0, 310}, {2, 520}}},
          Case{"none", {}}, Case{"last grows", {{3, 5000}}}, Case{"empties", {{0, 0}}}}) {
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
        EXPECT_EQ(host->progressMax(), 3);
        EXPECT_EQ(host->progressPositions(),
                  (std::vector<int>{0, 1, 2, 3, 0, 1, 2, 3, 0, 1, 2, 3, 0, 1, 2, 3}));
        EXPECT_EQ(host->lockReleases(), 1);
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
    // Flags and paths survive the save: the same file is written again at the same place.
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
    EXPECT_EQ(host->beeps(), 0);
}

TEST_F(SaveJobTest, AnEntryThatStartsAtTheEndOfTheFileBeepsOnce) {
    const Entries entries = {{"a", test::bytesOf("x")}, {"empty", {}}};
    openArchive(builderOf(entries).build());
    ASSERT_TRUE(save().ok());
    EXPECT_EQ(host->beeps(), 1);
    EXPECT_EQ(test::readFileBytes(archivePath()), expectedAfterSave(entries, original));
}

TEST_F(SaveJobTest, StagingFolderIsEmptiedOfFilesButSubfoldersStay) {
    openArchive(builderOf(fourEntries()).build());
    ASSERT_EQ(::mkdir((stagingDir.path() + "/sub").c_str(), 0700), 0);
    test::writeFileBytes(stagingDir.path() + "/sub/kept", test::bytesOf("k"));
    test::writeFileBytes(stagingDir.path() + "/temp.bmp", test::bytesOf("b"));
    ASSERT_TRUE(save().ok());
    EXPECT_TRUE(filesIn(stagingDir.path()).empty());
    EXPECT_EQ(filesIn(stagingDir.path() + "/sub"), std::vector<std::string>{"kept"});
}

TEST_F(SaveJobTest, QuietEndsTouchNothing) {
    openArchive(builderOf(fourEntries()).build());
    EXPECT_TRUE(runSave("", session, *(host = std::make_unique<FakeJobHost>())).ok());
    EXPECT_EQ(host->calls(), std::vector<std::string>{"release"});
    // An empty list: opened and closed again, not even the total size is written.
    openArchive(builderOf(fourEntries()).declaredCount(1).build());
    EXPECT_TRUE(save().ok());
    EXPECT_EQ(host->calls(), std::vector<std::string>{"release"});
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
    const std::vector<Case> cases = {
        {"archive missing", [&] { std::remove(archivePath().c_str()); },
         [&] { return "Cannot open file " + archivePath(); }},
        {"staging folder gone", [&] { session.staging = StagingFolder(dir.file("none")); },
         [&] { return "Cannot create file " + dir.file("none") + "/entries"; }},
        {"replacement missing", [&] { session.replacements.record(2, dir.file("gone")); },
         [&] { return "Cannot open file " + dir.file("gone"); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        session.staging = StagingFolder(stagingDir.path());
        openArchive(builder.build());
        replace(0, test::patternBytes(900, 5));
        c.arrange();
        EXPECT_EQ(save().failure, c.failure());
        if (std::string(c.what) != "archive missing") {
            expectUnchanged();
        }
        EXPECT_TRUE(filesIn(stagingDir.path()).empty());
    }
    // Data past the end of the archive.
    openArchive(builder.truncateTo(static_cast<std::size_t>(offsets[3]) + 10).build());
    EXPECT_EQ(save().failure, "Stream read error");
    expectUnchanged();
}

// The archive cannot be opened for writing: here it was swapped for a folder while its
// entries were being copied out.
TEST_F(SaveJobTest, AnArchiveThatCannotBeOpenedForWritingIsReportedUntouched) {
    openArchive(builderOf(fourEntries()).build());
    replace(1, test::patternBytes(50, 7));
    const std::string movedAside = dir.file("moved.xcr");
    const JobOutcome outcome = save([&](FakeJobHost& host) {
        host.onFirstProgress(3, [&] {
            ASSERT_EQ(std::rename(archivePath().c_str(), movedAside.c_str()), 0);
            ASSERT_EQ(::mkdir(archivePath().c_str(), 0700), 0);
        });
    });
    EXPECT_EQ(outcome.failure, "Cannot open file " + archivePath());
    ASSERT_EQ(::rmdir(archivePath().c_str()), 0);
    ASSERT_EQ(std::rename(movedAside.c_str(), archivePath().c_str()), 0);
    expectUnchanged();
    EXPECT_TRUE(filesIn(stagingDir.path()).empty());
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
    session.replacements.record(3, huge);
    EXPECT_EQ(save().failure,
              "Save refused: the archive would reach 2 GiB or more; the archive was left "
              "unchanged");
    expectUnchanged();
}

// Runs with copies made by the kernel, and through the buffer (as across file systems).
class SaveFaultTest : public SaveJobTest, public ::testing::WithParamInterface<bool> {
protected:
    void SetUp() override {
        FileFaults::setKernelCopy(GetParam() ? FileFaults::KernelCopy::WhereverPossible
                                             : FileFaults::KernelCopy::Never);
    }
    void TearDown() override { FileFaults::setKernelCopy(FileFaults::KernelCopy::WhereFaster); }
};

// Every file call of a save is failed in turn. Each time the archive must come back
// byte for byte with its table, the failure must be reported, and the next save must
// give the right file.
TEST_P(SaveFaultTest, EveryFailingFileCallLeavesTheArchiveAsItWas) {
    const Entries entries = {{"a", test::patternBytes(300, 1)},
                             {"b", test::patternBytes(40, 2)},
                             {"c", {}},
                             {"d", test::patternBytes(200, 4)}};
    const Bytes start = builderOf(entries).trailingRecord("t", test::patternBytes(30, 8)).build();
    auto openWithReplacement = [&] {
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

    for (std::uint64_t k = 1; k <= calls; ++k) {
        openWithReplacement();
        FileFaults::arm({k});
        const JobOutcome outcome = saveOnWorkerThread();
        FileFaults::disarm();
        SCOPED_TRACE("failing call " + std::to_string(k) + ": " + outcome.failure);
        EXPECT_FALSE(outcome.ok());
        expectUnchanged();
        EXPECT_TRUE(filesIn(stagingDir.path()).empty());
        ASSERT_TRUE(save().ok());
        EXPECT_EQ(test::readFileBytes(archivePath()), good);
    }
}

// When putting the archive back fails too, the entry copies are the only intact copy:
// they stay where the message says, and a later save leaves them alone.
TEST_P(SaveFaultTest, AFailedRollbackKeepsTheEntryCopiesAndNamesTheirFolder) {
    const Entries entries = fourEntries();
    auto openWithReplacement = [&] {
        openArchive(builderOf(entries).build());
        replace(0, test::patternBytes(310, 5));
    };
    openWithReplacement();
    FileFaults::arm({});
    ASSERT_TRUE(save().ok());
    const std::uint64_t calls = FileFaults::counted();
    // The last call of a save is its flush; fail it, then each call of the rollback.
    for (std::uint64_t extra = 1;; ++extra) {
        openWithReplacement();
        FileFaults::arm({calls, calls + extra});
        const JobOutcome outcome = save();
        const bool rollbackReached = FileFaults::counted() >= calls + extra;
        FileFaults::disarm();
        if (!rollbackReached) {
            EXPECT_EQ(outcome.failure, "Stream write error; the archive was left unchanged");
            RecordProperty("rollbackFailurePoints", static_cast<int>(extra - 1));
            break;
        }
        SCOPED_TRACE("rollback call " + std::to_string(extra));
        EXPECT_EQ(
            outcome.failure.rfind("Stream write error; the archive could not be restored (", 0),
            0u);
        const std::string keptIn = stagingDir.file("kept");
        const auto named = outcome.failure.find("copies of its entries are kept in " + keptIn);
        ASSERT_NE(named, std::string::npos);
        const std::string folder = outcome.failure.substr(outcome.failure.find(keptIn, named));
        ASSERT_EQ(filesIn(folder), (std::vector<std::string>{"entries", "entries.txt"}));
        EXPECT_EQ(host->lockReleases(), 1);
        // Saving again, as a user might, must not touch them.
        save();
        // The kept file starts with every entry's bytes back to back, and the listing
        // says where each one lies.
        const Bytes kept = test::readFileBytes(folder + "/entries");
        std::string listing = "position in entries, bytes, entry\n";
        std::size_t at = 0;
        for (const auto& [name, bytes] : entries) {
            ASSERT_GE(kept.size(), at + bytes.size());
            EXPECT_EQ(Bytes(kept.begin() + at, kept.begin() + at + bytes.size()), bytes);
            listing += std::to_string(at) + " " + std::to_string(bytes.size()) + " " + name + "\n";
            at += bytes.size();
        }
        EXPECT_EQ(test::readFileBytes(folder + "/entries.txt"), test::bytesOf(listing));
        std::filesystem::remove_all(folder);
    }
}

INSTANTIATE_TEST_SUITE_P(CopyPaths, SaveFaultTest, ::testing::Bool(),
                         [](const auto& info) { return info.param ? "Kernel" : "Buffer"; });

}  // namespace
}  // namespace xcr
