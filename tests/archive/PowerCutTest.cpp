#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <set>

#include "archive/os/SystemCalls.h"
#include "archive/store/HeldArchive.h"
#include "archive/store/OpenedArchive.h"
#include "archive/undo/UndoHistory.h"
#include "tests/archive/SaveFixture.h"
#include "tests/support/PageCacheModel.h"

namespace xcr {
namespace {

using test::Bytes;
using test::PowerCut;
// Entries replaced, by index, with so many bytes.
using Replaced = std::vector<std::pair<int, std::size_t>>;

// A power cut keeps of a file what its last flush put on the disk and whatever later
// writes the kernel happened to write back, and of a folder its names as last flushed and
// some of the changes since. A save or an undo is cut at each of its calls, every state
// that can leave is opened again, and that opening is itself cut at each of its calls and
// followed by another: the archive is always exactly as it was before or after, its undo
// history agrees, and nothing is left beside it.
class PowerCutTest : public test::SaveFixture {
protected:
    // Nothing here is at risk of a power cut but what the model says: no flush is needed.
    struct WithoutFlushes : SystemCalls {
        int fsync(int) override { return 0; }
    } withoutFlushes;
    void TearDown() override { useSystemCalls(nullptr); }

    // As in the kill tests: entries grown, shrunk and moved both ways, on an archive with
    // gaps and an unlisted record.
    void SetUp() override {
        start = test::builderOf({{"a", test::patternBytes(300, 1)},
                                 {"b", test::patternBytes(40, 2)},
                                 {"c", {}},
                                 {"d", test::patternBytes(2000, 4)},
                                 {"e", test::patternBytes(500, 5)}})
                    .gap(24)
                    .trailingRecord("t", test::patternBytes(30, 8))
                    .build();
        useSystemCalls(&withoutFlushes);
    }

    void arrange(const Replaced& replaced) {
        std::filesystem::remove_all(undo.folder);
        openArchive(start);
        for (const auto& [index, size] : replaced) {
            replace(index, test::patternBytes(size, 6 + static_cast<unsigned>(index)));
        }
    }

    struct Found {
        Bytes archive;
        std::string notice;
        std::vector<UndoStep> steps;
    };

    // Opens the archive as the window does, which puts back a save cut off, and lists its
    // undo history, which sweeps away the parts of records a crash cut off.
    Found recover() {
        OpenedArchive opened = xcr::openArchive(archivePath());
        entries = opened.entries;
        return {test::readFileBytes(archivePath()), opened.notice,
                undoHistory(opened.archive, undo)};
    }

    // `check` is given what each recovery found, and whether the work had returned.
    void expectEveryPowerCut(const std::function<void()>& work,
                             const std::function<void(const Found&, bool)>& check) {
        const std::vector<std::string> roots = {dir.path(), stateDir.path()};
        const std::vector<std::string> files = test::filesIn(dir.path());
        std::set<std::pair<bool, test::Tree>> checked;
        for (const PowerCut& cut : test::powerCutsOf(roots, work, true)) {
            test::writeTree(cut.tree, roots);
            for (const PowerCut& again : test::powerCutsOf(roots, [&] { recover(); })) {
                if (!checked.emplace(cut.afterEnd, again.tree).second) {
                    continue;
                }
                SCOPED_TRACE("power cut " + cut.when + (cut.afterEnd ? ", once it returned" : "") +
                             "; then in the recovery " + again.when);
                test::writeTree(again.tree, roots);
                try {
                    const Found found = recover();
                    // No journal is left, none set aside, and no part of an undo record.
                    EXPECT_EQ(test::filesIn(dir.path()), files);
                    for (const std::string& name : test::filesIn(undo.folder)) {
                        EXPECT_EQ(name.find(".part"), std::string::npos) << name;
                    }
                    check(found, cut.afterEnd);
                } catch (const std::exception& failure) {
                    ADD_FAILURE() << failure.what();
                }
            }
        }
    }

    Bytes start;
};

// A save that grows and shrinks entries, and one that keeps every size (the header and
// directory then stay as they were). Once the save has returned, it stays.
TEST_F(PowerCutTest, APowerCutAtAnyCallOfASaveLeavesExactlyTheOldOrTheNewArchive) {
    for (const Replaced& replaced : {Replaced{{1, 900}, {3, 50}}, Replaced{{1, 40}}}) {
        SCOPED_TRACE("a save of " + std::to_string(replaced.size()) + " replacements");
        arrange(replaced);
        ASSERT_TRUE(save().ok());
        const Bytes saved = test::readFileBytes(archivePath());
        const auto check = [&](const Found& found, bool afterEnd) {
            if (found.archive == original && !afterEnd) {
                // The record of a save put back is never listed.
                EXPECT_TRUE(found.steps.empty());
                return;
            }
            ASSERT_TRUE(found.archive == saved) << "neither the old archive nor the saved one";
            EXPECT_TRUE(found.notice.empty()) << found.notice;
            ASSERT_EQ(found.steps.size(), 1u);
            EXPECT_TRUE(found.steps.front().undoable);
            EXPECT_TRUE(undoLastSave().ok());
            EXPECT_TRUE(test::readFileBytes(archivePath()) == original);
        };
        arrange(replaced);
        expectEveryPowerCut([&] { save(); }, check);
    }
}

// An undo of a save that kept the file's length, and of one that grew it (the undo cuts
// it back). Once the undo has returned, it stays, and its record no longer applies.
TEST_F(PowerCutTest, APowerCutAtAnyCallOfAnUndoLeavesTheSavedOrTheEarlierArchive) {
    for (const Replaced& replaced : {Replaced{{1, 900}, {3, 50}}, Replaced{{1, 40}}}) {
        SCOPED_TRACE("an undo of " + std::to_string(replaced.size()) + " replacements");
        arrange(replaced);
        ASSERT_TRUE(save().ok());
        const Bytes saved = test::readFileBytes(archivePath());
        const auto check = [&](const Found& found, bool afterEnd) {
            if (found.archive == saved && !afterEnd) {
                ASSERT_EQ(found.steps.size(), 1u);
                EXPECT_TRUE(found.steps.front().undoable);
                EXPECT_TRUE(undoLastSave().ok());
                EXPECT_TRUE(test::readFileBytes(archivePath()) == original);
                return;
            }
            ASSERT_TRUE(found.archive == original) << "neither the saved archive nor the old one";
            EXPECT_TRUE(found.steps.empty());
            EXPECT_EQ(undoLastSave().failure.rfind("No save of", 0), 0u);
        };
        expectEveryPowerCut([&] { undoLastSave(); }, check);
    }
}

}  // namespace
}  // namespace xcr
