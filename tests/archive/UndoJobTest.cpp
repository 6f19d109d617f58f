#include "archive/jobs/UndoJob.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <functional>

#include "archive/format/XcrLayout.h"
#include "archive/jobs/SaveJob.h"
#include "archive/store/HeldArchive.h"
#include "archive/store/OpenedArchive.h"
#include "archive/undo/UndoHistory.h"
#include "tests/archive/SaveFixture.h"
#include "tests/support/FileFaults.h"

namespace xcr {
namespace {

using test::Bytes;

class UndoJobTest : public test::SaveFixture {
protected:
    void SetUp() override {
        openArchive(test::builderOf({{"a", test::patternBytes(300, 1)},
                                     {"b", test::patternBytes(40, 2)},
                                     {"c", test::patternBytes(500, 3)}})
                        .build());
    }

    // Saves entry 1 replaced by `size` new bytes.
    JobOutcome saveEntry1(std::size_t size, unsigned seed) {
        replace(1, test::patternBytes(size, seed));
        return save();
    }

    std::vector<UndoStep> history() {
        HeldArchive held = HeldArchive::open(archivePath(), HeldArchive::Access::Read);
        return undoHistory(held, undo);
    }
};

// A record applies only to the archive exactly as its save left it, and only when it is
// whole: otherwise the undo writes nothing and says why; the history marks a save whose
// archive changed since.
TEST_F(UndoJobTest, ARecordIsNeverAppliedToAnArchiveChangedSinceOrToADamagedOne) {
    struct Case {
        const char* what;
        std::function<void(Bytes& archive, const std::string& record)> change;
        std::string refusal;
        // A record's bytes are checked when it is applied, not when it is listed.
        bool listedAsUndoable = false;
    };
    const std::string changed = "The archive " + archivePath() + " was changed since its last save";
    const std::vector<Case> cases = {
        {"another program rewrote the total size", [](Bytes& a, const std::string&) { ++a[24]; },
         changed},
        {"another program moved an entry",
         [](Bytes& a, const std::string&) { ++a[layout::offsetPos(1)]; }, changed},
        {"another program added a byte", [](Bytes& a, const std::string&) { a.push_back(0); },
         changed},
        // Bytes of the same size leave the header, the directory and the length as they were.
        {"another program rewrote the replaced entry in place",
         [&](Bytes& a, const std::string&) { a[entries.placement(1).offset + 899] ^= 1; },
         "Cannot undo the last save of " + archivePath() +
             ": entry 1 b was changed since the save; nothing was undone."},
        {"a kept byte of the record changed",
         [](Bytes&, const std::string& r) {
             Bytes bytes = test::readFileBytes(r);
             bytes[4096 + 30] ^= 0x10;  // a byte of the kept header
             test::writeFileBytes(r, bytes);
         },
         "The undo record ", true},
        {"the record cut off",
         [](Bytes&, const std::string& r) {
             Bytes bytes = test::readFileBytes(r);
             bytes.resize(bytes.size() - 1);
             test::writeFileBytes(r, bytes);
         },
         "The undo record "},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        std::filesystem::remove_all(undo.folder);
        openArchive(original);
        ASSERT_TRUE(saveEntry1(900, 5).ok());
        const auto names = test::filesIn(undo.folder);
        ASSERT_EQ(names.size(), 1u);
        Bytes archive = test::readFileBytes(archivePath());
        c.change(archive, undo.folder + "/" + names.front());
        test::writeFileBytes(archivePath(), archive);
        entries = xcr::openArchive(archivePath()).entries;
        EXPECT_EQ(history().front().undoable, c.listedAsUndoable);
        const JobOutcome outcome = undoLastSave();
        EXPECT_EQ(outcome.failure.rfind(c.refusal, 0), 0u) << outcome.failure;
        EXPECT_EQ(test::readFileBytes(archivePath()), archive);
        EXPECT_EQ(::access(journalPath().c_str(), F_OK), -1);
    }
}

// Growing an early entry moves every later one: the record keeps the old bytes the save
// destroyed, not those it moved, and the undo still takes the archive back whole.
TEST_F(UndoJobTest, ARecordKeepsWhatTheSaveDestroyedNotWhatItMoved) {
    openArchive(test::builderOf({{"a", test::patternBytes(300, 1)},
                                 {"b", test::patternBytes(40, 2)},
                                 {"c", test::patternBytes(200000, 3)},
                                 {"d", test::patternBytes(100000, 4)}})
                    .build());
    const Bytes before = test::readFileBytes(archivePath());
    ASSERT_TRUE(saveEntry1(5000, 6).ok());
    const auto kept =
        std::filesystem::file_size(undo.folder + "/" + test::filesIn(undo.folder).front());
    EXPECT_LT(kept, 20000u);
    EXPECT_TRUE(runUndo({test::heldForUndo(archivePath()), std::nullopt, undo}, *progress).ok());
    EXPECT_EQ(test::readFileBytes(archivePath()), before);
}

// A record is only ever read when it and its folder are the user's own and no link leads
// to them, and only ever applied to the very file its save wrote, not to a new file that
// took over the inode of a deleted one.
TEST_F(UndoJobTest, ARecordAppliesOnlyFromTheUsersOwnStoreToTheFileItsSaveWrote) {
    struct Case {
        const char* what;
        // False when it cannot be arranged here (changing owners needs root).
        std::function<bool(const std::string& record)> arrange;
        std::string refusal;
    };
    const std::string moved = stateDir.file("elsewhere");
    const std::vector<Case> cases = {
        {"a record of another user",
         [](const std::string& r) { return ::chown(r.c_str(), 4242, 4242) == 0; },
         "The undo record "},
        {"a store folder that is a link",
         [&](const std::string&) {
             std::filesystem::rename(undo.folder, moved);
             return ::symlink(moved.c_str(), undo.folder.c_str()) == 0;
         },
         "The undo folder " + undo.folder + " is not used: it is a link"},
        {"a store folder of another user",
         [&](const std::string&) { return ::chown(undo.folder.c_str(), 4242, 4242) == 0; },
         "The undo folder " + undo.folder + " is not used: it belongs to another user"},
        {"a new file in the inode of the deleted archive",
         [&](const std::string&) {
             const Bytes bytes = test::readFileBytes(archivePath());
             std::remove(archivePath().c_str());
             test::writeFileBytes(archivePath(), bytes);
             return true;
         },
         ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        std::filesystem::remove_all(undo.folder);
        std::filesystem::remove_all(moved);
        openArchive(original);
        ASSERT_TRUE(saveEntry1(40, 5).ok());
        const auto names = test::filesIn(undo.folder);
        ASSERT_EQ(names.size(), 1u);
        if (!c.arrange(undo.folder + "/" + names.front())) {
            continue;
        }
        const Bytes saved = test::readFileBytes(archivePath());
        if (c.refusal.rfind("The undo", 0) == 0) {
            // The window's menu asks without a word, and offers nothing.
            HeldArchive archive = HeldArchive::attempt(archivePath());
            EXPECT_FALSE(lastSaveUndoable(archive, entries, undo));
        }
        const JobOutcome outcome = undoLastSave();
        EXPECT_FALSE(outcome.ok());
        EXPECT_EQ(outcome.failure.rfind(c.refusal, 0), 0u) << outcome.failure;
        EXPECT_EQ(test::readFileBytes(archivePath()), saved);
    }
}

// A save that could keep no record stands between the archive and the saves before it:
// no undo reaches across it, even when it kept every size (the directory then reads as
// the earlier save left it).
TEST_F(UndoJobTest, NoUndoReachesAcrossASaveThatKeptNoRecord) {
    ASSERT_TRUE(saveEntry1(40, 5).ok());
    const Bytes first = test::readFileBytes(archivePath());
    const EntryTable firstEntries = entries;
    const std::string record = test::filesIn(undo.folder).front();
    const Bytes recordBytes = test::readFileBytes(undo.folder + "/" + record);
    JobOutcome outcome;
    // Each file call of the second save fails in turn until one leaves it saved without
    // its record.
    for (std::uint64_t call = 1; call < 400; ++call) {
        test::writeFileBytes(archivePath(), first);
        entries = firstEntries;
        std::filesystem::remove_all(undo.folder);
        std::filesystem::create_directory(undo.folder);
        test::writeFileBytes(undo.folder + "/" + record, recordBytes);
        replacements.clear();
        replace(0, test::patternBytes(300, 7));
        FileFaults::arm({call});
        outcome = save();
        FileFaults::disarm();
        if (outcome.ok() && !outcome.warning.empty()) {
            break;
        }
    }
    ASSERT_NE(outcome.warning.find("this save cannot be undone"), std::string::npos);
    EXPECT_NE(outcome.warning.find("Its earlier saves can no longer be undone either."),
              std::string::npos);
    const Bytes second = test::readFileBytes(archivePath());
    EXPECT_TRUE(history().empty());
    EXPECT_EQ(undoLastSave().failure.rfind("No save of", 0), 0u);
    EXPECT_EQ(test::readFileBytes(archivePath()), second);
}

// The newest records are kept, at most so many of one archive and so many bytes in all;
// a save whose record alone is over the limit, or cannot be written at all, is made but
// says that it cannot be undone. Each archive is saved again and again, every save
// replacing entry 1 by as many bytes, so that every record has one size.
TEST_F(UndoJobTest, TheLimitsDropTheOldestRecordsFirst) {
    ASSERT_TRUE(saveEntry1(40, 5).ok());
    const std::int64_t size =
        std::filesystem::file_size(undo.folder + "/" + test::filesIn(undo.folder).front());
    const std::string other = dir.file("b.xcr");
    struct Case {
        const char* what;
        int perArchive;
        std::int64_t totalBytes;
        int saves;
        int othersSaves;
        std::size_t kept;
        std::size_t othersKept;
    };
    const std::vector<Case> cases = {
        {"the newest per archive", 3, size * 100, 5, 1, 3, 1},
        {"the newest in bytes", 10, size * 3, 2, 2, 1, 2},
        {"none over the limit alone", 10, size - 1, 1, 0, 0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        std::filesystem::remove_all(undo.folder);
        undo.savesPerArchive = c.perArchive;
        undo.totalBytes = c.totalBytes;
        openArchive(original);
        test::writeFileBytes(other, original);
        unsigned seed = 10;
        const auto saveOther = [&] {
            const EntryTable table = xcr::openArchive(other).entries;
            test::writeFileBytes(dir.file("new"), test::patternBytes(40, ++seed));
            EXPECT_TRUE(
                runSave({HeldArchive::attempt(other), table, {{1, dir.file("new")}}, {}, undo},
                        *progress)
                    .ok());
        };
        for (int i = 0; i < c.saves; ++i) {
            const JobOutcome outcome = saveEntry1(40, ++seed);
            ASSERT_TRUE(outcome.ok());
            EXPECT_EQ(outcome.warning.find("this save cannot be undone") != std::string::npos,
                      c.kept == 0);
            if (i == 0 && c.othersSaves > 0) {
                saveOther();
            }
        }
        for (int i = 1; i < c.othersSaves; ++i) {
            saveOther();
        }
        EXPECT_EQ(history().size(), c.kept);
        HeldArchive held = HeldArchive::open(other, HeldArchive::Access::Read);
        EXPECT_EQ(undoHistory(held, undo).size(), c.othersKept);
    }
    undo.folder = dir.file("a.xcr") + "/undo";
    const JobOutcome outcome = saveEntry1(40, 6);
    EXPECT_TRUE(outcome.ok());
    EXPECT_NE(outcome.warning.find("this save cannot be undone"), std::string::npos);
}

}  // namespace
}  // namespace xcr
