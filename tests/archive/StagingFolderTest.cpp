#include "archive/os/StagingFolder.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>

#include "archive/os/Failure.h"
#include "tests/support/XcrBuilder.h"

namespace xcr {
namespace {

// Whether anything, a dangling link included, is at `path`.
bool present(const std::string& path) {
    struct stat info {};
    return ::lstat(path.c_str(), &info) == 0;
}

void makeFolder(const std::string& path) {
    ASSERT_EQ(::mkdir(path.c_str(), 0700), 0) << path;
}

void put(const std::string& path) {
    test::writeFileBytes(path, test::bytesOf("x"));
}

TEST(StagingFolderTest, FreshPrivateFolderPerRunRemovedOnlyWhenEmpty) {
    test::TempDir tmp;
    setenv("TMPDIR", (tmp.path() + "/").c_str(), 1);
    const StagingFolder first = StagingFolder::create();
    const StagingFolder second = StagingFolder::create();
    unsetenv("TMPDIR");
    EXPECT_NE(first.path(), second.path());
    EXPECT_EQ(first.path().rfind(tmp.path() + "/pelloran", 0), 0u) << first.path();
    struct stat info {};
    ASSERT_EQ(::stat(first.path().c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0700);
    test::writeFileBytes(first.fileInside("left.bin"), test::bytesOf("x"));
    first.removeIfEmpty();
    EXPECT_EQ(::stat(first.path().c_str(), &info), 0);
    second.removeIfEmpty();
    EXPECT_NE(::stat(second.path().c_str(), &info), 0);
}

// No folder can be made (mkdtemp fails): nothing takes its place, so no one can prepare
// a path for the copies in advance.
TEST(StagingFolderTest, WithoutAFolderNothingIsWrittenAnywhere) {
    test::TempDir dir;
    put(dir.file("file"));
    for (const std::string& parent : {dir.file("absent"), dir.file("file")}) {
        const StagingFolder none = StagingFolder::createIn(parent);
        EXPECT_FALSE(none.hasPath()) << parent;
        EXPECT_THROW(none.fileInside("temp.bmp"), Failure);
        none.removeFiles();
        none.removeIfEmpty();
    }
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 1);
}

// A start removes the folders of runs that have ended (their lock is free), with their
// subfolders, and nothing else: not a live run's, not another user's, nothing behind a
// link.
TEST(StagingFolderTest, NextStartRemovesOnlyTheFoldersOfEndedRuns) {
    test::TempDir tmp;
    test::TempDir elsewhere;
    const std::string precious = elsewhere.file("precious");
    put(precious);
    const StagingFolder live = StagingFolder::createIn(tmp.path());
    put(live.fileInside("temp.bmp"));
    std::string ended;
    std::string withSubfolder;
    {
        const StagingFolder first = StagingFolder::createIn(tmp.path());
        const StagingFolder second = StagingFolder::createIn(tmp.path());
        ended = first.path();
        withSubfolder = second.path();
        put(first.fileInside("entries"));
        ASSERT_EQ(::symlink(precious.c_str(), first.fileInside("link").c_str()), 0);
        put(second.fileInside("entries"));
        makeFolder(second.fileInside("sub"));
        put(second.fileInside("sub/entries"));
        ASSERT_EQ(::symlink(elsewhere.path().c_str(), second.fileInside("sub/link").c_str()), 0);
    }
    makeFolder(tmp.file("pelloranAb12C"));
    put(tmp.file("pelloranAb12C/x"));
    ASSERT_EQ(::symlink(elsewhere.path().c_str(), tmp.file("pelloranLink01").c_str()), 0);
    const bool root = ::geteuid() == 0;
    if (root) {
        makeFolder(tmp.file("pelloranUser01"));
        put(tmp.file("pelloranUser01/x"));
        ASSERT_EQ(::chown(tmp.file("pelloranUser01").c_str(), 65534, 65534), 0);
    }

    const StagingFolder next = StagingFolder::createIn(tmp.path());

    const struct {
        std::string path;
        bool kept;
    } expected[] = {
        {ended, false},
        {precious, true},
        {withSubfolder, false},
        {live.fileInside("temp.bmp"), true},
        {tmp.file("pelloranAb12C/x"), true},
        {tmp.file("pelloranLink01"), true},
        {tmp.file("pelloranUser01/x"), root},
        {next.path(), true},
    };
    for (const auto& e : expected) {
        EXPECT_EQ(present(e.path), e.kept) << e.path;
    }
}

}  // namespace
}  // namespace xcr
