#include <gtest/gtest.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>

#include "archive/ArchiveSession.h"
#include "archive/Directory.h"
#include "archive/ExtractionJob.h"
#include "archive/SaveJob.h"
#include "tests/support/FakeJobHost.h"
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
    bool mounted = false;
};

TEST_F(FullDiskTest, ExtractionStopsAtTheFullDiskWithEarlierFilesCompleteAndNoneHalfWritten) {
    const std::string archivePath = dir.file("a.xcr");
    fourBlocks().writeTo(archivePath);
    EntryTable entries;
    entries.assign(readDirectory(archivePath));
    test::FakeJobHost host({"e0", "e1", "e2", "e3"});
    host.setAllChecked(true);
    host.setChooserFolder(small);
    EXPECT_EQ(runExtraction(archivePath, entries, host).failure, "Stream write error");
    EXPECT_EQ(host.progressPositions(), (std::vector<int>{0, 1, 2}));
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
    EXPECT_EQ(host.lockReleases(), 1);
}

TEST_F(FullDiskTest, ASaveThatOutgrowsTheDiskIsRolledBack) {
    const std::string archivePath = small + "/a.xcr";
    const Bytes original = XcrBuilder()
                               .add("a", test::patternBytes(10000, 1))
                               .add("b", test::patternBytes(10000, 2))
                               .writeTo(archivePath);
    test::TempDir staging;
    ArchiveSession session{{}, {}, StagingFolder(staging.path())};
    session.entries.assign(readDirectory(archivePath));
    const auto before = session.entries.placements();
    test::writeFileBytes(dir.file("big"), test::patternBytes(80000, 3));
    session.replacements.record(0, dir.file("big"));
    test::FakeJobHost host;
    EXPECT_EQ(runSave(archivePath, session, host).failure,
              "Stream write error; the archive was left unchanged");
    EXPECT_EQ(test::readFileBytes(archivePath), original);
    EXPECT_EQ(session.entries.placement(1).offset, before[1].offset);
    EXPECT_EQ(session.entries.placement(0).size, before[0].size);
    EXPECT_EQ(host.lockReleases(), 1);
}

TEST_F(FullDiskTest, AFullStagingFolderStopsTheSaveBeforeTheArchiveIsTouched) {
    const std::string archivePath = dir.file("a.xcr");
    const Bytes original = fourBlocks().writeTo(archivePath);
    ArchiveSession session{{}, {}, StagingFolder(small)};
    session.entries.assign(readDirectory(archivePath));
    test::FakeJobHost host;
    EXPECT_EQ(runSave(archivePath, session, host).failure, "Stream write error");
    EXPECT_EQ(test::readFileBytes(archivePath), original);
    // The copy made before the disk filled up is gone again.
    EXPECT_NE(::access(session.staging.fileInside("entries").c_str(), F_OK), 0);
}

}  // namespace
}  // namespace xcr
