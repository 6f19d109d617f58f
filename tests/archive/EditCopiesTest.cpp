#include "archive/session/EditCopies.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>

#include "archive/store/OpenedArchive.h"
#include "tests/support/FakeProgress.h"
#include "tests/support/XcrBuilder.h"

namespace xcr {
namespace {

using test::bytesOf;

bool present(const std::string& path) {
    struct stat info {};
    return ::lstat(path.c_str(), &info) == 0;
}

int modeOf(const std::string& path) {
    struct stat info {};
    EXPECT_EQ(::stat(path.c_str(), &info), 0) << path;
    return static_cast<int>(info.st_mode & 0777);
}

class EditCopiesTest : public ::testing::Test {
protected:
    void SetUp() override {
        test::XcrBuilder()
            .add("art\\hills.bmp", "hills")
            .add("w.wav", "wave")
            .add("art\\hills.bmp", "other hills")
            .add("x (entry 5).bmp", "x5")
            .add("x.bmp", "x")
            .add("x.bmp", "x again")
            .add("\xe9t\xe9.bmp", "summer")
            .writeTo(archive);
    }
    EditCopyMade copy(int index, bool inUse = false) {
        OpenedArchive opened = openArchive(archive);
        EditCopyMade made;
        test::FakeProgress progress;
        const std::string recorded = inUse ? copies.copyOf(opened.entries, index) : "";
        const JobOutcome outcome = runEditCopy(
            {std::move(opened.archive), opened.entries, index, copies, recorded}, progress, made);
        EXPECT_TRUE(outcome.ok()) << outcome.failure;
        return made;
    }
    EntryTable entries() { return openArchive(archive).entries; }

    test::TempDir dir;
    const std::string archive = dir.file("a.xcr");
    const std::string root = dir.file("cache/pelloran/edits");
    const EditCopies copies{root, archive};
};

// The folder is private and named by the archive; an entry lies under its folder parts,
// in UTF-8, and one whose place another entry has gets its number, passing every name
// another entry has.
TEST_F(EditCopiesTest, CopiesLiePrivatelyUnderTheArchivesFolderOnePerEntry) {
    const EditCopyMade made = copy(0);
    EXPECT_EQ(made.copy, copies.folder() + "/art/hills.bmp");
    EXPECT_EQ(copies.folder().rfind(root + "/a.xcr-", 0), 0u) << copies.folder();
    EXPECT_EQ(test::readFileBytes(made.copy), bytesOf("hills"));
    EXPECT_EQ(modeOf(root), 0700);
    EXPECT_EQ(test::readFileBytes(copies.folder() + ".archive"), bytesOf(archive));
    const std::string in = copies.folder() + "/";
    EXPECT_EQ(copies.copies(entries()),
              (std::vector<std::string>{in + "art/hills.bmp", in + "w.wav",
                                        in + "art/hills (entry 2).bmp", in + "x (entry 5).bmp",
                                        in + "x.bmp", in + "x (entry 5, 2).bmp",
                                        in + "\u00e9t\u00e9.bmp"}));
    for (const int entry : {2, 5, 6}) {
        const std::string made = copy(entry).copy;
        EXPECT_EQ(made, copies.copyOf(entries(), entry));
        EXPECT_EQ(test::readFileBytes(made).size(), entries().placement(entry).size);
    }
    EXPECT_EQ(test::readFileBytes(in + "x (entry 5, 2).bmp"), bytesOf("x again"));
    EXPECT_NE(EditCopies(root, dir.file("b/a.xcr")).folder(), copies.folder());

    setenv("XDG_CACHE_HOME", "/cache/here", 1);
    EXPECT_EQ(EditCopies::userRoot(), "/cache/here/pelloran/edits");
    setenv("XDG_CACHE_HOME", "relative", 1);
    const char* home = std::getenv("HOME");
    EXPECT_EQ(EditCopies::userRoot(), std::string(home) + "/.cache/pelloran/edits");
    unsetenv("XDG_CACHE_HOME");
}

// What lies at the copy's place before: an edit is never written over.
TEST_F(EditCopiesTest, AnEditedCopyIsSetAsideUnlessItIsTheEntrysReplacement) {
    struct Case {
        const char* before;  // nullptr: no copy yet
        bool inUse;
        const char* after;
        const char* setAside;  // nullptr: nothing set aside
        bool written;
    } cases[] = {
        {nullptr, false, "wave", nullptr, true},     {nullptr, true, "wave", nullptr, true},
        {"wave", false, "wave", nullptr, false},     {"my wave", true, "my wave", nullptr, false},
        {"my wave", false, "wave", "my wave", true},
    };
    for (const Case& c : cases) {
        std::filesystem::remove_all(root);
        const std::string place = copies.copyOf(entries(), 1);
        if (c.before != nullptr) {
            copies.make();
            test::writeFileBytes(place, bytesOf(c.before));
            copy(1);  // a second earlier edit takes the next name
            test::writeFileBytes(place, bytesOf(c.before));
        }
        const EditCopyMade made = copy(1, c.inUse);
        SCOPED_TRACE(c.before == nullptr ? "none" : c.before);
        EXPECT_EQ(test::readFileBytes(place), bytesOf(c.after));
        EXPECT_EQ(made.written, c.written);
        if (c.setAside == nullptr) {
            EXPECT_EQ(made.setAside, "");
        } else {
            EXPECT_EQ(made.setAside, copies.folder() + "/w (earlier edit 2).wav");
            EXPECT_EQ(test::readFileBytes(made.setAside), bytesOf(c.setAside));
        }
    }
}

TEST_F(EditCopiesTest, CopyStateComparesBytesAndTakesNoLinkForACopy) {
    copies.make();
    const std::string place = copies.copyOf(entries(), 1);
    OpenedArchive opened = openArchive(archive);
    const auto state = [&] {
        return copyState(opened.archive, opened.entries.placement(1), place);
    };
    EXPECT_EQ(state(), CopyState::Missing);
    test::writeFileBytes(dir.file("wave"), bytesOf("wave"));
    ASSERT_EQ(::symlink(dir.file("wave").c_str(), place.c_str()), 0);
    EXPECT_EQ(state(), CopyState::Missing);
    ::unlink(place.c_str());
    test::writeFileBytes(place, bytesOf("wave"));
    EXPECT_EQ(state(), CopyState::AsTheEntry);
    test::writeFileBytes(place, bytesOf("wavy"));
    EXPECT_EQ(state(), CopyState::Edited);
    test::writeFileBytes(place, bytesOf("waves"));
    EXPECT_EQ(state(), CopyState::Edited);
}

// A link in the cache, at the archive's folder or at an entry's folder, is never gone
// through: nothing outside is moved, written or swept.
TEST_F(EditCopiesTest, ALinkInTheCacheIsNeverGoneThrough) {
    const std::string outside = dir.file("outside");
    for (const bool atArchiveFolder : {true, false}) {
        SCOPED_TRACE(atArchiveFolder ? "archive's folder" : "entry's folder");
        std::filesystem::remove_all(root);
        std::filesystem::remove_all(outside);
        std::filesystem::create_directories(outside);
        test::writeFileBytes(outside + "/hills.bmp", bytesOf("private"));
        copies.make();
        const std::string link = atArchiveFolder ? copies.folder() : copies.folder() + "/art";
        std::filesystem::remove_all(link);
        std::filesystem::create_directory_symlink(outside, link);
        OpenedArchive opened = openArchive(archive);
        EditCopyMade made;
        test::FakeProgress progress;
        EXPECT_FALSE(
            runEditCopy({std::move(opened.archive), opened.entries, 0, copies, ""}, progress, made)
                .ok());
        // An old copy the archive holds, seen through the link, is no copy of the sweep's.
        test::writeFileBytes(outside + "/w.wav", bytesOf("wave"));
        const timespec old[2] = {{0, 0}, {0, 0}};
        ::utimensat(AT_FDCWD, (outside + "/w.wav").c_str(), old, 0);
        sweepEditCopies(root, std::chrono::system_clock::now());
        EXPECT_EQ(std::distance(std::filesystem::directory_iterator(outside), {}), 2);
        EXPECT_EQ(test::readFileBytes(outside + "/hills.bmp"), bytesOf("private"));
    }
}

// At a start, a copy goes only when it is old and its archive holds its bytes.
TEST_F(EditCopiesTest, TheSweepRemovesOnlyOldCopiesTheirArchiveHolds) {
    const auto now = std::chrono::system_clock::now();
    struct Case {
        int ageDays;
        const char* bytes;
        bool archiveThere;
        bool removed;
    } cases[] = {
        {31, "wave", true, true},   {31, "edited", true, false},  {29, "wave", true, false},
        {31, "wave", false, false}, {40, "edited", false, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.ageDays) + " " + c.bytes + " " +
                     (c.archiveThere ? "there" : "gone"));
        std::filesystem::remove_all(root);
        copy(1);
        const std::string place = copies.copyOf(entries(), 1);
        test::writeFileBytes(place, bytesOf(c.bytes));
        const auto changed =
            std::chrono::system_clock::to_time_t(now - std::chrono::hours(24) * c.ageDays);
        const timespec times[2] = {{changed, 0}, {changed, 0}};
        ASSERT_EQ(::utimensat(AT_FDCWD, place.c_str(), times, 0), 0);
        if (!c.archiveThere) {
            std::filesystem::rename(archive, dir.file("moved.xcr"));
        }
        sweepEditCopies(root, now);
        EXPECT_EQ(!present(place), c.removed);
        // Nothing is left of an archive whose copies have all gone.
        EXPECT_EQ(present(copies.folder()), !c.removed);
        EXPECT_EQ(present(copies.folder() + ".archive"), !c.removed);
        if (!c.archiveThere) {
            std::filesystem::rename(dir.file("moved.xcr"), archive);
        }
    }
    // A folder another run has just made, still empty, stays.
    std::filesystem::remove_all(root);
    copies.make();
    sweepEditCopies(root, now + std::chrono::hours(24 * 365));
    EXPECT_TRUE(present(copies.folder()));
}

}  // namespace
}  // namespace xcr
