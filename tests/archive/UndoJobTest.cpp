#include "archive/undo/UndoJob.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <functional>

#include "archive/ArchiveOpening.h"
#include "archive/HeldArchive.h"
#include "archive/SaveJob.h"
#include "archive/XcrLayout.h"
#include "archive/undo/UndoHistory.h"
#include "tests/archive/SaveFixture.h"

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
    EXPECT_TRUE(runUndo({archivePath(), std::nullopt, undo}, *progress).ok());
    EXPECT_EQ(test::readFileBytes(archivePath()), before);
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
            EXPECT_TRUE(runSave({other, table, {{1, dir.file("new")}}, {}, undo}, *progress).ok());
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
