#include "archive/os/File.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <functional>

#include "archive/os/Failure.h"
#include "tests/support/XcrBuilder.h"

namespace xcr {
namespace {

std::string failureOf(const std::function<void()>& action) {
    try {
        action();
    } catch (const Failure& failure) {
        return failure.what();
    }
    return "";
}

TEST(FileTest, AHeldFileIsNeitherHeldTwiceNorCutButStillRead) {
    test::TempDir dir;
    const std::string path = dir.file("a.xcr");
    test::writeFileBytes(path, test::bytesOf("hello"));
    File held = File::open(path, File::Access::Read);
    held.lockExclusively("archive");
    const std::string inUse = ": the archive is in use by another program";
    EXPECT_EQ(failureOf([&] { File::open(path, File::Access::Read).lockExclusively("archive"); }),
              "Cannot open file " + path + inUse);
    EXPECT_EQ(failureOf([&] { File::open(path, File::Access::Create); }),
              "Cannot create file " + path + ": the file is in use by another program");
    // A refused create must not have emptied the file held elsewhere; reading takes no lock.
    EXPECT_EQ(held.length(), 5);
    EXPECT_EQ(File::open(path, File::Access::Read).length(), 5);
    held.close();
    EXPECT_NO_THROW(File::open(path, File::Access::Read).lockExclusively("archive"));
}

TEST(FileTest, WriteAccessNeverTruncatesAndCreateEmpties) {
    test::TempDir dir;
    const std::string path = dir.file("a.bin");
    test::writeFileBytes(path, test::bytesOf("0123456789"));
    {
        File file = File::open(path, File::Access::Write);
        file.writeAt(2, "ab", 2);
    }
    EXPECT_EQ(test::readFileBytes(path), test::bytesOf("01ab456789"));
    { File file = File::open(path, File::Access::Create); }
    EXPECT_TRUE(test::readFileBytes(path).empty());
}

TEST(FileTest, WriteAccessNeedsAnExistingFile) {
    test::TempDir dir;
    EXPECT_EQ(failureOf([&] { File::open(dir.file("none"), File::Access::Write); }),
              "Cannot open file " + dir.file("none") + ": No such file or directory");
}

TEST(FileTest, FoldersAndFifosAreRefusedWithoutHanging) {
    test::TempDir dir;
    EXPECT_EQ(failureOf([&] { File::open(dir.path(), File::Access::Read); }),
              "Cannot open file " + dir.path() + ": not a regular file");
    EXPECT_EQ(failureOf([&] { File::open(dir.path(), File::Access::Create); }),
              "Cannot create file " + dir.path() + ": Is a directory");
    const std::string fifo = dir.file("pipe");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    EXPECT_EQ(failureOf([&] { File::open(fifo, File::Access::Read); }),
              "Cannot open file " + fifo + ": not a regular file");
}

TEST(FileTest, ShortReadFailsWithStreamReadError) {
    test::TempDir dir;
    const std::string path = dir.file("a.bin");
    test::writeFileBytes(path, test::bytesOf("abc"));
    File file = File::open(path, File::Access::Read);
    char buffer[8];
    EXPECT_EQ(file.readAt(1, buffer, 8), 2u);
    EXPECT_EQ(failureOf([&] { file.readExact(buffer, 4); }), "Stream read error");
}

// A fresh file is made only where nothing of that name exists: an existing file, a link
// (whether it points anywhere or not) and a folder are all refused and left as they were.
TEST(FileTest, CreateNewRefusesEveryExistingNameAndNeverFollowsALink) {
    test::TempDir dir;
    const std::string file = dir.file("file");
    test::writeFileBytes(file, test::bytesOf("kept"));
    ASSERT_EQ(::symlink(file.c_str(), dir.file("link").c_str()), 0);
    ASSERT_EQ(::symlink(dir.file("nowhere").c_str(), dir.file("dangling").c_str()), 0);
    ASSERT_EQ(::mkdir(dir.file("folder").c_str(), 0700), 0);
    const int folder = ::open(dir.path().c_str(), O_RDONLY | O_DIRECTORY);
    ASSERT_GE(folder, 0);
    for (const std::string name : {"file", "link", "dangling", "folder"}) {
        EXPECT_EQ(failureOf([&] { File::createNew(folder, name, "shown/" + name); }),
                  "Cannot create file shown/" + name + ": File exists");
    }
    File fresh = File::createNew(folder, "fresh", dir.file("fresh"));
    fresh.writeAt(0, "new", 3);
    fresh.closeWritten();
    ::close(folder);
    EXPECT_EQ(test::readFileBytes(file), test::bytesOf("kept"));
    EXPECT_EQ(test::readFileBytes(dir.file("fresh")), test::bytesOf("new"));
    EXPECT_NE(::access(dir.file("nowhere").c_str(), F_OK), 0);
}

}  // namespace
}  // namespace xcr
