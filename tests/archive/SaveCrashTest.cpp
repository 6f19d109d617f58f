#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <functional>

#include "archive/ArchiveOpening.h"
#include "archive/Failure.h"
#include "archive/FileFaults.h"
#include "archive/JournalFormat.h"
#include "tests/archive/SaveFixture.h"

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
        openArchive(start);
        replace(1, test::patternBytes(900, 6));
        replace(3, test::patternBytes(50, 7));
    }

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
    const std::uint64_t calls = fileCallsOf([&] { save(); });
    int old = 0;
    int whole = 0;
    for (std::uint64_t k = 1; k <= calls; ++k) {
        SCOPED_TRACE("killed before file call " + std::to_string(k));
        arrange();
        ASSERT_TRUE(killedAt(k, [&] { save(); }));
        const OpenedArchive opened = xcr::openArchive(archivePath());
        const Bytes now = test::readFileBytes(archivePath());
        if (now == original) {
            ++old;
        } else {
            EXPECT_EQ(now, saved);
            EXPECT_TRUE(opened.notice.empty());
            ++whole;
        }
        EXPECT_FALSE(journalLeft());
    }
    EXPECT_GT(old, 0);
    EXPECT_GT(whole, 0);
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

// A journal that belongs to another file or fails its checks is never applied: the
// archive is not opened, the message says what is wrong and where the journal is, and
// the save and extraction keep refusing until the user has dealt with it.
TEST_F(SaveCrashTest, AJournalThatCannotBeTrustedIsNeverApplied) {
    crashMidWrite();
    const std::string damaged = "The journal " + journalPath() + " of an interrupted save of " +
                                archivePath() + " is damaged (";
    const std::string foreign =
        "The journal " + journalPath() + " does not belong to the archive " + archivePath();
    struct Case {
        const char* what;
        std::function<void(Bytes& archive, Bytes& journal)> spoil;
        std::string message;
        // Puts the journal in place some other way than as a plain file of its own.
        std::function<void()> place = {};
    };
    const std::string elsewhere = dir.file("elsewhere");
    const bool root = ::geteuid() == 0;
    const std::vector<Case> cases = {
        {"cut short", [](Bytes&, Bytes& j) { j.resize(j.size() - 10); },
         damaged + "its length is not the one its header gives)"},
        {"a kept byte changed", [](Bytes&, Bytes& j) { j[j.size() - 3] ^= 0x40; },
         damaged + "its checksum does not match)"},
        {"its header changed", [](Bytes&, Bytes& j) { j[17] ^= 0x01; },
         damaged + "its header does not check out)"},
        {"another archive",
         [](Bytes& a, Bytes&) {
             a = test::XcrBuilder().add("other", "x").add("names", "y").build();
         },
         foreign},
        {"another kind of file", [](Bytes&, Bytes& j) { j = test::bytesOf("just some notes"); },
         foreign},
        {"a file that starts with zeros",
         [](Bytes&, Bytes& j) { j = test::bytesOf(std::string(8, '\0') + "and then some notes"); },
         foreign},
        {"another version of the archive",
         [](Bytes& a, Bytes&) {
             Entries entries;
             for (const char* name : {"a", "b", "c", "d", "e"}) {
                 entries.push_back({name, test::patternBytes(120, 9)});
             }
             a = test::builderOf(entries)
                     .gap(24)
                     .trailingRecord("t", test::patternBytes(30, 8))
                     .build();
         },
         foreign},
        {"a length past 2 GiB",
         [](Bytes&, Bytes& j) {
             journal::Header header;
             ASSERT_EQ(journal::decodeHeader(j.data(), j.size(), header),
                       journal::HeaderState::Complete);
             header.oldLength = header.newLength = std::int64_t{40} << 30;
             const auto forged = journal::encodeHeader(header);
             std::copy(forged.begin(), forged.end(), j.begin());
         },
         damaged + "its header does not check out)"},
        {"a link named like the journal", [](Bytes&, Bytes&) {}, foreign,
         [&] {
             ASSERT_EQ(std::rename(journalPath().c_str(), elsewhere.c_str()), 0);
             ASSERT_EQ(::symlink(elsewhere.c_str(), journalPath().c_str()), 0);
         }},
        {"a journal with a second name", [](Bytes&, Bytes&) {}, foreign,
         [&] { ASSERT_EQ(::link(journalPath().c_str(), elsewhere.c_str()), 0); }},
        {"another user's journal", [](Bytes&, Bytes&) {}, root ? foreign : std::string(),
         [&] {
             if (root) {
                 ASSERT_EQ(::chown(journalPath().c_str(), 65534, 65534), 0);
             }
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Bytes archive = crashedArchive;
        Bytes journal = crashedJournal;
        c.spoil(archive, journal);
        std::remove(journalPath().c_str());
        std::remove(elsewhere.c_str());
        test::writeFileBytes(archivePath(), archive);
        test::writeFileBytes(journalPath(), journal);
        if (c.place) {
            c.place();
        }
        if (c.message.empty()) {
            continue;  // needs root
        }
        try {
            xcr::openArchive(archivePath());
            ADD_FAILURE() << "opened";
        } catch (const Failure& failure) {
            EXPECT_EQ(std::string(failure.what()).rfind(c.message, 0), 0u) << failure.what();
        }
        EXPECT_EQ(test::readFileBytes(archivePath()), archive);
        EXPECT_EQ(test::readFileBytes(journalPath()), journal);
        EXPECT_EQ(save().failure.rfind("The archive " + archivePath() +
                                           " has the journal of an interrupted save beside it",
                                       0),
                  0u);
        EXPECT_EQ(test::readFileBytes(archivePath()), archive);
    }
}

// The journal lies beside the file itself: the archive opened through a link to it finds
// the journal of a save made through another name, and is put back.
TEST_F(SaveCrashTest, EveryLinkToTheArchiveLeadsToItsJournal) {
    crashMidWrite();
    const std::string link = dir.file("link.xcr");
    ASSERT_EQ(::symlink(archivePath().c_str(), link.c_str()), 0);
    EXPECT_EQ(journal::pathFor(link), journal::pathFor(archivePath()));
    restoreCrash();
    EXPECT_FALSE(xcr::openArchive(link).notice.empty());
    EXPECT_EQ(test::readFileBytes(archivePath()), original);
    EXPECT_FALSE(journalLeft());
}

// A journal whose header was never written (the save stopped before touching the
// archive) is simply removed, without a word.
TEST_F(SaveCrashTest, AnIncompleteJournalIsRemovedQuietly) {
    crashMidWrite();
    for (const std::size_t kept : {std::size_t{0}, std::size_t{5}, crashedJournal.size()}) {
        SCOPED_TRACE(kept);
        test::writeFileBytes(archivePath(), original);
        Bytes journal(crashedJournal.begin(),
                      crashedJournal.begin() + static_cast<std::ptrdiff_t>(kept));
        std::fill(journal.begin(),
                  journal.begin() + static_cast<std::ptrdiff_t>(
                                        std::min<std::size_t>(kept, journal::kHeaderSize)),
                  0);
        test::writeFileBytes(journalPath(), journal);
        const OpenedArchive opened = xcr::openArchive(archivePath());
        EXPECT_TRUE(opened.notice.empty());
        EXPECT_EQ(opened.entries.count(), 5);
        EXPECT_EQ(test::readFileBytes(archivePath()), original);
        EXPECT_FALSE(journalLeft());
    }
}

}  // namespace
}  // namespace xcr
