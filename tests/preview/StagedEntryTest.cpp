#include "preview/StagedEntry.h"

#include <gtest/gtest.h>
#include <sys/resource.h>

#include <csignal>
#include <filesystem>

#include "archive/os/File.h"
#include "tests/preview/PreviewArchive.h"
#include "tests/support/FailureText.h"

namespace xcr {
namespace {

using Order = StagedEntry::Order;

class StagedEntryTest : public ::testing::Test {
protected:
    std::string failureOf(EntryTable::Placement placement, Order order) {
        return test::failureText(
            [&] { StagedEntry staged(archive.archivePath(), placement, copyPath, order); });
    }

    const test::Bytes data = test::patternBytes(5000, 1);
    test::PreviewArchive archive{test::XcrBuilder().add("a.bin", data)};
    const std::string copyPath = archive.staging.fileInside("temp.bin");
    const EntryTable::Placement placement = archive.entries.placement(0);
};

TEST_F(StagedEntryTest, HoldsExactlyTheEntrysBytesUntilItGoes) {
    test::writeFileBytes(copyPath, test::patternBytes(9000, 2));
    for (Order order : {Order::ArchiveFirst, Order::TemporaryFirst}) {
        {
            const StagedEntry staged(archive.archivePath(), placement, copyPath, order);
            EXPECT_EQ(test::readFileBytes(staged.path()), data);
            // Both files are closed again: each can be opened without sharing.
            File::open(archive.archivePath(), File::Access::Read);
            File::open(copyPath, File::Access::Read);
        }
        EXPECT_FALSE(std::filesystem::exists(copyPath));
    }
}

TEST_F(StagedEntryTest, CopyFileInUseElsewhereIsNotDeleted) {
    File holder = File::open(copyPath, File::Access::Create);
    EXPECT_EQ(failureOf(placement, Order::ArchiveFirst),
              "Cannot create file " + copyPath + ": the file is in use by another program");
    EXPECT_TRUE(std::filesystem::exists(copyPath));
}

TEST_F(StagedEntryTest, FullDiskIsAWriteErrorAndLeavesNoCopy) {
    // A file size limit stands in for a full disk: the write fails instead of signalling.
    rlimit saved{};
    ::getrlimit(RLIMIT_FSIZE, &saved);
    const auto previous = std::signal(SIGXFSZ, SIG_IGN);
    rlimit small = saved;
    small.rlim_cur = 1000;
    ::setrlimit(RLIMIT_FSIZE, &small);
    const std::string failure = failureOf(placement, Order::ArchiveFirst);
    ::setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, previous);
    EXPECT_EQ(failure, "Cannot write " + copyPath + ": File too large");
    EXPECT_TRUE(archive.stagedFiles().empty());
}

}  // namespace
}  // namespace xcr
