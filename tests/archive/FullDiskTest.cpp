#include <gtest/gtest.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>

#include "archive/jobs/ExtractionJob.h"
#include "archive/jobs/SaveJob.h"
#include "archive/store/OpenedArchive.h"
#include "tests/support/FakeProgress.h"
#include "tests/support/XcrBuilder.h"

namespace xcr {
namespace {

using test::Bytes;
using test::XcrBuilder;

// Runs the jobs against a real file system that fills up: a 64 KiB tmpfs mounted for
// the test. Mounting needs root; elsewhere the tests are skipped.
class FullDiskTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (::geteuid() != 0) {
            GTEST_SKIP() << "mounting a small tmpfs needs root";
        }
        ASSERT_EQ(::mkdir(small.c_str(), 0700), 0);
        if (::mount("tmpfs", small.c_str(), "tmpfs", 0, "size=64k") != 0) {
            GTEST_SKIP() << "cannot mount a tmpfs here: " << std::strerror(errno);
        }
        mounted = true;
    }

    void TearDown() override {
        if (mounted) {
            ::umount2(small.c_str(), MNT_DETACH);
        }
    }

    // Four entries of 20000 bytes: three fit in 64 KiB, the fourth does not.
    static XcrBuilder fourBlocks() {
        XcrBuilder builder;
        for (unsigned i = 0; i < 4; ++i) {
            builder.add("e" + std::to_string(i), test::patternBytes(20000, i));
        }
        return builder;
    }

    test::TempDir dir;
    const std::string small = dir.file("small");
    test::TempDir staging;
    bool mounted = false;
};

TEST_F(FullDiskTest, ExtractionStopsAtTheFullDiskWithEarlierFilesCompleteAndNoneHalfWritten) {
    const std::string archivePath = dir.file("a.xcr");
    fourBlocks().writeTo(archivePath);
    const EntryTable entries = openArchive(archivePath).entries;
    auto marks = std::make_shared<CheckMarks>(entries.count());
    marks->setAll(true);
    test::FakeProgress progress;
    EXPECT_EQ(
        runExtraction({HeldArchive::attempt(archivePath), small, entries, marks}, progress).failure,
        "Cannot write " + small + "/e3: No space left on device");
    EXPECT_EQ(progress.positions(), (std::vector<int>{0, 1, 2}));
    for (unsigned i = 0; i < 3; ++i) {
        EXPECT_EQ(test::readFileBytes(small + "/e" + std::to_string(i)),
                  test::patternBytes(20000, i));
    }
    // Neither the entry that did not fit nor its temporary file is left.
    std::vector<std::string> left;
    for (const auto& entry : std::filesystem::directory_iterator(small)) {
        left.push_back(entry.path().filename().string());
    }
    std::sort(left.begin(), left.end());
    EXPECT_EQ(left, (std::vector<std::string>{"e0", "e1", "e2"}));
}

// The archive and its journal share the small disk. Growing "a" by a little moves "b":
// its old bytes do not fit into the journal beside the archive, and the save is refused
// untouched. Growing "a" by much moves a smaller "b": the journal fits, but the archive
// then outgrows the disk, and the save is rolled back.
TEST_F(FullDiskTest, ASaveThatDoesNotFitIsRefusedOrRolledBack) {
    struct Case {
        const char* what;
        std::size_t first;
        std::size_t second;
        std::size_t replacement;
        std::string failure;
    };
    const std::string archivePath = small + "/a.xcr";
    const std::string journalPath = archivePath + "-journal";
    const Case cases[] = {
        {"journal does not fit", 100, 40000, 200,
         "Save refused: the journal " + journalPath + " could not be written ("},
        {"archive does not fit", 10000, 10000, 40000,
         "Cannot write " + archivePath +
             ": No space left on device; the archive was left "
             "unchanged"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const Bytes original = XcrBuilder()
                                   .add("a", test::patternBytes(c.first, 1))
                                   .add("b", test::patternBytes(c.second, 2))
                                   .writeTo(archivePath);
        const EntryTable entries = openArchive(archivePath).entries;
        test::writeFileBytes(dir.file("big"), test::patternBytes(c.replacement, 3));
        test::FakeProgress progress;
        const std::string failure = runSave({HeldArchive::attempt(archivePath),
                                             entries,
                                             {{0, dir.file("big")}},
                                             staging.path(),
                                             {}},
                                            progress)
                                        .failure;
        EXPECT_EQ(failure.rfind(c.failure, 0), 0u) << failure;
        EXPECT_EQ(test::readFileBytes(archivePath), original);
        EXPECT_NE(::access(journalPath.c_str(), F_OK), 0);
    }
}

}  // namespace
}  // namespace xcr
