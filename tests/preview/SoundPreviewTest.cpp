#include "preview/SoundPreview.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "tests/preview/PreviewArchive.h"
#include "tests/support/FailureText.h"

namespace xcr {
namespace {

// Keeps what each play was handed: the file name and the file's bytes at that moment.
class RecordingPlayer : public WavePlayer {
public:
    bool play(const std::string& path) override {
        played.push_back({path, test::readFileBytes(path)});
        return true;
    }

    std::vector<std::pair<std::string, test::Bytes>> played;
};

class SoundPreviewTest : public ::testing::Test {
protected:
    std::string failureOf(int index) {
        return test::failureText([&] { preview.play(index); });
    }

    const test::Bytes wave = test::patternBytes(3000, 7);
    test::PreviewArchive archive{
        test::XcrBuilder().add("sound.wav", wave).add("silent.wav", test::Bytes{})};
    const std::string copy = archive.staging.fileInside("temp.wav");
    RecordingPlayer player;
    SoundPreview preview{player, archive.source()};
};

TEST_F(SoundPreviewTest, NothingSelectedDoesNothing) {
    std::filesystem::remove(archive.archivePath());
    preview.play(-1);
    EXPECT_TRUE(player.played.empty());
    EXPECT_TRUE(archive.stagedFiles().empty());
}

TEST_F(SoundPreviewTest, PlaysTheEntrysBytesFromTheCopyEveryTime) {
    preview.play(0);
    preview.play(0);
    ASSERT_EQ(player.played.size(), 2u);
    for (const auto& [path, bytes] : player.played) {
        EXPECT_EQ(path, copy);
        EXPECT_EQ(bytes, wave);
    }
    EXPECT_TRUE(archive.stagedFiles().empty());
}

TEST_F(SoundPreviewTest, EmptyEntryHandsAnEmptyFileToThePlayer) {
    preview.play(1);
    ASSERT_EQ(player.played.size(), 1u);
    EXPECT_TRUE(player.played[0].second.empty());
    EXPECT_TRUE(archive.stagedFiles().empty());
}

TEST_F(SoundPreviewTest, FailuresPlayNothingAndLeaveNoCopy) {
    archive.setPlacement(0, {archive.entries.placement(0).offset + 1, 3000});
    EXPECT_EQ(failureOf(0), "Stream read error");
    std::filesystem::remove(archive.archivePath());
    EXPECT_EQ(failureOf(0),
              "Cannot open file " + archive.archivePath() + ": No such file or directory");
    EXPECT_TRUE(archive.stagedFiles().empty());
    // The copy is created before the archive is opened, so its failure comes first.
    std::filesystem::remove(archive.staging.path());
    EXPECT_EQ(failureOf(0), "Cannot create file " + copy + ": No such file or directory");
    archive.staging = StagingFolder::createIn(archive.dir.file("absent"));
    EXPECT_EQ(failureOf(0), noStagingFolderText(archive.dir.file("absent")));
    EXPECT_TRUE(player.played.empty());
}

}  // namespace
}  // namespace xcr
