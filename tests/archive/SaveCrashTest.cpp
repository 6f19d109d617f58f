#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <filesystem>
#include <functional>

#include "archive/journal/JournalFormat.h"
#include "archive/os/Failure.h"
#include "archive/store/HeldArchive.h"
#include "archive/store/OpenedArchive.h"
#include "archive/undo/UndoHistory.h"
#include "tests/archive/SaveFixture.h"
#include "tests/support/FileFaults.h"

namespace xcr {
namespace {

using test::Bytes;
using test::Entries;

// Runs `work` in a child process that kills itself with SIGKILL just before its file call
// number `call`. True when the child was killed there.
bool killedAt(std::uint64_t call, const std::function<void()>& work) {
    const pid_t child = ::fork();
    if (child == 0) {
        FileFaults::armKill(call);
        try {
            work();
        } catch (...) {
        }
        ::_exit(0);
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    return WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL;
}

// Counts the file calls `work` makes.
std::uint64_t fileCallsOf(const std::function<void()>& work) {
    FileFaults::arm({});
    work();
    const std::uint64_t calls = FileFaults::counted();
    FileFaults::disarm();
    return calls;
}

// A save that grows one entry, shrinks another and moves the rest both ways, on an
// archive with gaps and an unlisted record: its journal keeps several ranges.
class SaveCrashTest : public test::SaveFixture {
protected:
    void SetUp() override {
        const Entries entries = {{"a", test::patternBytes(300, 1)},
                                 {"b", test::patternBytes(40, 2)},
                                 {"c", {}},
                                 {"d", test::patternBytes(2000, 4)},
                                 {"e", test::patternBytes(500, 5)}};
        start =
            test::builderOf(entries).gap(24).trailingRecord("t", test::patternBytes(30, 8)).build();
        arrange();
        ASSERT_TRUE(save().ok());
        saved = test::readFileBytes(archivePath());
        arrange();
    }

    void arrange() {
        std::remove(journalPath().c_str());
        std::filesystem::remove_all(undo.folder);
        openArchive(start);
        for (const auto& [index, data] : shape) {
            replace(index, data);
        }
    }

    // What the save replaces: by default entries that grow and shrink.
    std::vector<std::pair<int, Bytes>> shape = {{1, test::patternBytes(900, 6)},
                                                {3, test::patternBytes(50, 7)}};

    bool journalLeft() const {
        struct stat info {};
        return ::lstat(journalPath().c_str(), &info) == 0;
    }

    // Leaves the archive as a save killed while rewriting it leaves it: neither its old
    // nor its new bytes, with a complete journal beside it.
    void crashMidWrite() {
        const std::uint64_t calls = fileCallsOf([&] { save(); });
        for (std::uint64_t k = calls; k > 0; --k) {
            arrange();
            ASSERT_TRUE(killedAt(k, [&] { save(); }));
            const Bytes now = test::readFileBytes(archivePath());
            if (now != original && now != saved) {
                crashedArchive = now;
                crashedJournal = test::readFileBytes(journalPath());
                return;
            }
        }
        FAIL() << "no kill left the archive half-written";
    }

    void restoreCrash() {
        test::writeFileBytes(archivePath(), crashedArchive);
        test::writeFileBytes(journalPath(), crashedJournal);
    }

    Bytes start;
    Bytes saved;
    Bytes crashedArchive;
    Bytes crashedJournal;
};

// The kill comes before every file call in turn: with the journal half-written, flushed,
// the header or directory or data half-written, before the final flush, before the
// journal is removed. The next opening always finds the old archive or the new one, whole,
// and leaves no journal.
TEST_F(SaveCrashTest, AKillAtAnyFileCallLeavesExactlyTheOldOrTheNewArchive) {
    // A save that keeps every size leaves the header and directory as they were: only the
    // replaced bytes tell the old archive from the new one.
    const std::vector<std::pair<int, Bytes>> sameSizes = {{1, test::patternBytes(40, 6)}};
    for (const auto& replaced : {shape, sameSizes}) {
        SCOPED_TRACE("a save of " + std::to_string(replaced.front().second.size()) + " bytes");
        shape = replaced;
        arrange();
        ASSERT_TRUE(save().ok());
        saved = test::readFileBytes(archivePath());
        arrange();
        const std::uint64_t calls = fileCallsOf([&] { save(); });
        int old = 0;
        int whole = 0;
        for (std::uint64_t k = 1; k <= calls; ++k) {
            SCOPED_TRACE("killed before file call " + std::to_string(k));
            arrange();
            ASSERT_TRUE(killedAt(k, [&] { save(); }));
            OpenedArchive opened = xcr::openArchive(archivePath());
            const Bytes now = test::readFileBytes(archivePath());
            entries = opened.entries;
            const std::vector<UndoStep> steps = undoHistory(opened.archive, undo);
            opened.archive = {};
            // What a killed save had begun of its record goes at the next use of the store.
            for (const std::string& name : test::filesIn(undo.folder)) {
                EXPECT_EQ(name.find(".part"), std::string::npos) << name;
            }
            if (now == original) {
                ++old;
                // The record of a save put back is never listed or applied.
                EXPECT_TRUE(steps.empty());
                const std::string refusal = undoLastSave().failure;
                EXPECT_EQ(refusal.rfind("No save of", 0), 0u) << refusal;
            } else {
                EXPECT_EQ(now, saved);
                EXPECT_TRUE(opened.notice.empty()) << opened.notice;
                ++whole;
                // A save that became final has its undo record.
                ASSERT_EQ(steps.size(), 1u);
                EXPECT_TRUE(steps.front().undoable);
                EXPECT_TRUE(undoLastSave().ok());
                EXPECT_EQ(test::readFileBytes(archivePath()), original);
            }
            EXPECT_FALSE(journalLeft());
        }
        EXPECT_GT(old, 0);
        EXPECT_GT(whole, 0);
    }
}

// An undo is killed before every file call in turn as a save is, for a save that kept
// the file's length and one that grew it (its undo cuts the file back): the next opening
// finds the archive whole, either as the save left it, its record still there, or as it
// was before that save; and no journal.
TEST_F(SaveCrashTest, AKillAtAnyFileCallOfAnUndoLeavesTheSavedOrTheEarlierArchive) {
    const std::vector<std::vector<std::pair<int, std::size_t>>> saves = {{{1, 900}, {3, 50}},
                                                                         {{1, 900}}};
    for (const auto& replaced : saves) {
        SCOPED_TRACE("a save of " + std::to_string(replaced.size()) + " replacements");
        arrange();
        replacements.clear();
        for (const auto& [index, size] : replaced) {
            replace(index, test::patternBytes(size, 9));
        }
        ASSERT_TRUE(save().ok());
        const Bytes after = test::readFileBytes(archivePath());
        const EntryTable savedEntries = entries;
        std::vector<std::pair<std::string, Bytes>> records;
        for (const std::string& name : test::filesIn(undo.folder)) {
            records.emplace_back(name, test::readFileBytes(undo.folder + "/" + name));
        }
        ASSERT_EQ(records.size(), 1u);
        const auto reset = [&] {
            std::remove(journalPath().c_str());
            test::writeFileBytes(archivePath(), after);
            std::filesystem::remove_all(undo.folder);
            std::filesystem::create_directory(undo.folder);
            for (const auto& [name, bytes] : records) {
                test::writeFileBytes(undo.folder + "/" + name, bytes);
            }
            entries = savedEntries;
        };
        const std::uint64_t calls = fileCallsOf([&] {
            reset();
            EXPECT_TRUE(undoLastSave().ok());
        });
        int kept = 0;
        int undone = 0;
        for (std::uint64_t k = 1; k <= calls; ++k) {
            SCOPED_TRACE("killed before file call " + std::to_string(k));
            reset();
            ASSERT_TRUE(killedAt(k, [&] { undoLastSave(); }));
            entries = xcr::openArchive(archivePath()).entries;
            const Bytes now = test::readFileBytes(archivePath());
            if (now == after) {
                ++kept;
                EXPECT_TRUE(undoLastSave().ok());
                EXPECT_EQ(test::readFileBytes(archivePath()), original);
            } else {
                EXPECT_EQ(now, original);
                ++undone;
                // A record left behind by the undo is never applied again.
                EXPECT_EQ(undoLastSave().failure.rfind("No save of", 0), 0u);
            }
            EXPECT_FALSE(journalLeft());
        }
        EXPECT_GT(kept, 0);
        EXPECT_GT(undone, 0);
    }
}

// The opening that puts the archive back may itself be killed or fail at any of its file
// calls: the journal stays until the archive is whole, so the next opening finishes it,
// and the user is told what happened each time.
TEST_F(SaveCrashTest, ARecoveryThatIsCutOffOrFailsIsDoneAgainAtTheNextOpening) {
    crashMidWrite();
    const std::uint64_t calls = fileCallsOf([&] {
        restoreCrash();
        EXPECT_FALSE(xcr::openArchive(archivePath()).notice.empty());
    });
    for (std::uint64_t k = 1; k <= calls; ++k) {
        SCOPED_TRACE("recovery stopped at file call " + std::to_string(k));
        restoreCrash();
        ASSERT_TRUE(killedAt(k, [&] { xcr::openArchive(archivePath()); }));
        EXPECT_NO_THROW(xcr::openArchive(archivePath()));
        EXPECT_EQ(test::readFileBytes(archivePath()), original);
        EXPECT_FALSE(journalLeft());

        restoreCrash();
        FileFaults::arm({k});
        std::string told;
        try {
            told = xcr::openArchive(archivePath()).notice;
        } catch (const Failure& failure) {
            told = failure.what();
        }
        FileFaults::disarm();
        EXPECT_FALSE(told.empty());
        EXPECT_NO_THROW(xcr::openArchive(archivePath()));
        EXPECT_EQ(test::readFileBytes(archivePath()), original);
        EXPECT_FALSE(journalLeft());
    }
}

// What lies at the journal's name is judged before anything is applied. A damaged journal
// of this archive keeps the archive from opening; a file that is not this archive's
// journal (another file's, planted, a link) is never applied nor removed, and the
// archive opens with a warning; a journal whose header was cut off while it was written
// (before the archive could change) is set aside under a new name. Either way, saving
// and extracting refuse until the user has dealt with it.
TEST_F(SaveCrashTest, WhatLiesAtTheJournalNameIsJudgedBeforeAnythingIsApplied) {
    crashMidWrite();
    enum class Verdict { Damaged, NotOwn, Torn };
    struct Case {
        const char* what;
        std::function<void(Bytes& archive, Bytes& journal)> spoil;
        Verdict verdict;
        std::string why = {};  // the reason the verdict gives, when it gives one
        // Puts the journal in place some other way than as a plain file of its own.
        std::function<void()> place = {};
    };
    const std::string elsewhere = dir.file("elsewhere");
    const bool root = ::geteuid() == 0;
    const auto forge = [](Bytes& j, const std::function<void(journal::Header&)>& change) {
        journal::Header header;
        ASSERT_EQ(journal::decodeHeader(j.data(), j.size(), header), journal::HeaderState::Checked);
        change(header);
        const auto forged = journal::encodeHeader(header);
        std::copy(forged.begin(), forged.end(), j.begin());
    };
    const std::vector<Case> cases = {
        {"cut short", [](Bytes&, Bytes& j) { j.resize(j.size() - 10); }, Verdict::Damaged,
         "its length is not the one its header gives"},
        {"a kept byte changed", [](Bytes&, Bytes& j) { j[j.size() - 3] ^= 0x40; }, Verdict::Damaged,
         "its checksum does not match"},
        {"a length past 2 GiB",
         [&](Bytes&, Bytes& j) {
             forge(j,
                   [](journal::Header& h) { h.oldLength = h.newLength = std::int64_t{40} << 30; });
         },
         Verdict::Damaged, "its header holds lengths no archive can have"},
        {"a body length near 2^63",
         [&](Bytes&, Bytes& j) {
             forge(j, [](journal::Header& h) { h.bodyLength = INT64_MAX - 100; });
         },
         Verdict::Damaged, "its header holds lengths no archive can have"},
        {"its header cut off while written", [](Bytes&, Bytes& j) { j[17] ^= 0x01; },
         Verdict::Torn},
        {"a header never written, the body there",
         [](Bytes&, Bytes& j) { std::fill_n(j.begin(), 512, 0); }, Verdict::Torn},
        {"written for another file",
         [&](Bytes&, Bytes& j) { forge(j, [](journal::Header& h) { ++h.archive.inode; }); },
         Verdict::NotOwn, "it was written for another file"},
        {"another archive",
         [](Bytes& a, Bytes&) {
             a = test::XcrBuilder().add("other", "x").add("names", "y").build();
         },
         Verdict::NotOwn,
         "the archive's header and directory are neither those it kept nor those the save "
         "wrote"},
        {"another kind of file", [](Bytes&, Bytes& j) { j = test::bytesOf("just some notes"); },
         Verdict::NotOwn, "it is not a journal of this program"},
        {"a link named like the journal", [](Bytes&, Bytes&) {}, Verdict::NotOwn, "it is a link",
         [&] {
             ASSERT_EQ(std::rename(journalPath().c_str(), elsewhere.c_str()), 0);
             ASSERT_EQ(::symlink(elsewhere.c_str(), journalPath().c_str()), 0);
         }},
        {"a journal with a second name", [](Bytes&, Bytes&) {}, Verdict::NotOwn,
         "it has more than one name",
         [&] { ASSERT_EQ(::link(journalPath().c_str(), elsewhere.c_str()), 0); }},
        {"another user's journal", [](Bytes&, Bytes&) {}, Verdict::NotOwn,
         root ? "it belongs to another user" : "",
         [&] {
             if (root) {
                 ASSERT_EQ(::chown(journalPath().c_str(), 65534, 65534), 0);
             }
         }},
        // Last: from here on the archive is another file.
        {"copied with the archive's bytes into another file", [](Bytes&, Bytes&) {},
         Verdict::NotOwn, "it was written for another file",
         [&] {
             test::writeFileBytes(elsewhere, test::readFileBytes(archivePath()));
             ASSERT_EQ(std::rename(elsewhere.c_str(), archivePath().c_str()), 0);
         }},
    };
    const std::string aside = journalPath() + ".set-aside";
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        if (c.verdict == Verdict::NotOwn && c.why.empty()) {
            continue;  // needs root
        }
        Bytes archive = crashedArchive;
        Bytes journal = crashedJournal;
        c.spoil(archive, journal);
        for (const std::string& path : {journalPath(), elsewhere, aside}) {
            std::remove(path.c_str());
        }
        test::writeFileBytes(archivePath(), archive);
        test::writeFileBytes(journalPath(), journal);
        if (c.place) {
            c.place();
        }
        std::string told;
        try {
            told = xcr::openArchive(archivePath()).notice;
        } catch (const Failure& failure) {
            told = std::string("refused: ") + failure.what();
        }
        switch (c.verdict) {
            case Verdict::Damaged:
                EXPECT_EQ(told, "refused: The journal " + journalPath() +
                                    " of an interrupted save of " + archivePath() +
                                    " is damaged (" + c.why +
                                    "), so it was not applied and the archive was not opened. "
                                    "Keep both files: the archive may be partly rewritten.");
                break;
            case Verdict::NotOwn:
                EXPECT_EQ(told, "The file " + journalPath() + " lies beside the archive " +
                                    archivePath() +
                                    " where its journal goes, but it is not this archive's "
                                    "journal (" +
                                    c.why +
                                    "). It was not applied and was left as it is; saving and "
                                    "extracting are refused until it is moved away.");
                EXPECT_NE(save().failure.find("Move it away before saving."), std::string::npos);
                break;
            case Verdict::Torn:
                EXPECT_EQ(told.rfind("The journal " + journalPath() + " of a save of " +
                                         archivePath() + " was cut off before",
                                     0),
                          0u)
                    << told;
                EXPECT_NE(told.find(aside), std::string::npos);
                EXPECT_EQ(test::readFileBytes(aside), journal);
                EXPECT_FALSE(journalLeft());
                break;
        }
        EXPECT_EQ(test::readFileBytes(archivePath()), archive);
        if (c.verdict != Verdict::Torn) {
            EXPECT_EQ(test::readFileBytes(journalPath()), journal);
            EXPECT_NE(save().failure, "");
            EXPECT_EQ(test::readFileBytes(archivePath()), archive);
        }
    }
}

// The journal lies beside the file itself: the archive opened through a link to it finds
// the journal of a save made through another name, and is put back.
TEST_F(SaveCrashTest, EveryLinkToTheArchiveLeadsToItsJournal) {
    crashMidWrite();
    const std::string link = dir.file("link.xcr");
    ASSERT_EQ(::symlink(archivePath().c_str(), link.c_str()), 0);
    EXPECT_EQ(HeldArchive::open(link, HeldArchive::Access::Read).journalPath(), journalPath());
    restoreCrash();
    EXPECT_FALSE(xcr::openArchive(link).notice.empty());
    EXPECT_EQ(test::readFileBytes(archivePath()), original);
    EXPECT_FALSE(journalLeft());
}

// A save cut off while it wrote its journal had not touched the archive: that journal,
// known by its first header as this archive's, is removed without a word.
// So is a journal file that holds nothing yet, its first header not on the disk.
TEST_F(SaveCrashTest, AnUnfinishedJournalOfThisArchiveIsRemovedQuietly) {
    const std::vector<std::pair<const char*, std::function<void()>>> leftBehind = {
        {"keeping its first range",
         [&] {
             HeldArchive held = HeldArchive::open(archivePath(), HeldArchive::Access::Read);
             held.createJournal().keep(held.file(), 0, 600);
         }},
        {"empty", [&] { test::writeFileBytes(journalPath(), {}); }},
        {"a blank header", [&] { test::writeFileBytes(journalPath(), Bytes(512, 0)); }},
    };
    for (const auto& [what, leave] : leftBehind) {
        SCOPED_TRACE(what);
        test::writeFileBytes(archivePath(), original);
        leave();
        const OpenedArchive opened = xcr::openArchive(archivePath());
        EXPECT_TRUE(opened.notice.empty());
        EXPECT_EQ(opened.entries.count(), 5);
        EXPECT_EQ(test::readFileBytes(archivePath()), original);
        EXPECT_FALSE(journalLeft());
    }
}

}  // namespace
}  // namespace xcr
