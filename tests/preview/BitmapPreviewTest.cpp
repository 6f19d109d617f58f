#include "preview/BitmapPreview.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>

#include "archive/os/File.h"
#include "archive/store/HeldArchive.h"
#include "tests/preview/BmpBytes.h"
#include "tests/preview/PreviewArchive.h"
#include "tests/support/FailureText.h"

namespace xcr {
namespace {

const test::Picture kPicture{3,
                             2,
                             {qRgb(255, 0, 0), qRgb(0, 255, 0), qRgb(0, 0, 255),
                              qRgb(255, 255, 255), qRgb(0, 0, 0), qRgb(255, 255, 0)}};
const test::Picture kOther{5, 4, std::vector<QRgb>(20, qRgb(9, 9, 9))};

enum Entry { kFirst, kSecond, kNotBitmap, kShortHeader, kEmpty };

class BitmapPreviewTest : public ::testing::Test {
protected:
    std::string failureOf(int index) {
        return test::failureText([&] { preview.show(index); });
    }

    // A picture moved and zoomed away from its first state.
    void showAndMove() {
        preview.show(kFirst);
        preview.zoomIn();
        preview.press(1, 1);
        preview.release(11, 21);
    }

    test::PreviewArchive archive{
        test::XcrBuilder()
            .add("first.bmp", test::bmpBytes(kPicture, test::BmpKind::Bits24))
            .add("second.bmp", test::bmpBytes(kOther, test::BmpKind::Bits8))
            .add("plain.bmp", "just some text, no picture")
            .add("short.bmp", "BM\x01\x02")
            .add("empty.bmp", test::Bytes{})};
    ImageControl control;
    BitmapPreview preview{control, archive.source()};
};

TEST_F(BitmapPreviewTest, ShowsTheEntryAtOneToOneAndDeletesTheCopy) {
    preview.show(kFirst);
    EXPECT_EQ(preview.picture().size(), QSize(3, 2));
    EXPECT_EQ(preview.picture().pixel(2, 1), qRgb(255, 255, 0));
    EXPECT_EQ(preview.state().zoomLevel(), 4);
    EXPECT_EQ(control.frame(), (ImageFrame{0, 0, 3, 2, true, false}));
    EXPECT_EQ(control.picture(), preview.picture());
    EXPECT_TRUE(archive.stagedFiles().empty());
}

TEST_F(BitmapPreviewTest, ShowingAgainReturnsToOneToOneAtTheCorner) {
    showAndMove();
    preview.fitToWindow();
    preview.release(30, 30);
    preview.show(kFirst);
    EXPECT_EQ(control.frame(), (ImageFrame{0, 0, 3, 2, true, false}));
    EXPECT_EQ(preview.state().zoomLevel(), 4);
}

TEST_F(BitmapPreviewTest, EmptyEntryEmptiesThePictureWithoutFailing) {
    showAndMove();
    preview.show(kEmpty);
    EXPECT_TRUE(preview.picture().isNull());
    EXPECT_EQ(control.frame(), (ImageFrame{0, 0, 0, 0, true, false}));
    EXPECT_EQ(preview.state().zoomLevel(), 4);
    EXPECT_TRUE(archive.stagedFiles().empty());
}

TEST_F(BitmapPreviewTest, EveryFailureKeepsThePictureAndItsStateAndLeavesNoCopy) {
    const std::string copy = archive.staging.fileInside("temp.bmp");
    const struct {
        std::function<void()> arrange;
        int index;
        std::string message;
    } cases[] = {
        {[] {}, kNotBitmap, "Bitmap image is not valid"},
        {[] {}, kShortHeader, "Stream read error"},
        {[&] {
             archive.setPlacement(kSecond, {archive.entries.placement(kEmpty).offset - 4, 40});
         },
         kSecond, "Stream read error"},
        {[&] { std::filesystem::remove(archive.staging.path()); }, kSecond,
         "Cannot create file " + copy + ": No such file or directory"},
        // The staging folder is gone too: the archive is opened first, so its failure wins.
        {[&] { std::filesystem::remove(archive.archivePath()); }, kSecond,
         "Cannot open file " + archive.archivePath() + ": No such file or directory"},
        // No folder could be made: refused before anything is opened or created.
        {[&] { archive.staging = StagingFolder::createIn(archive.dir.file("absent")); }, kSecond,
         noStagingFolderText(archive.dir.file("absent"))},
    };
    showAndMove();
    const ImageFrame frame = control.frame();
    const QImage picture = preview.picture();
    for (const auto& c : cases) {
        c.arrange();
        EXPECT_EQ(failureOf(c.index), c.message);
        EXPECT_EQ(control.frame(), frame) << c.message;
        EXPECT_EQ(control.picture(), picture) << c.message;
        EXPECT_EQ(preview.picture(), picture) << c.message;
        EXPECT_EQ(preview.state().zoomLevel(), 5) << c.message;
        EXPECT_EQ(preview.state().naturalWidth(), 3) << c.message;
        EXPECT_FALSE(std::filesystem::exists(copy)) << c.message;
    }
}

TEST_F(BitmapPreviewTest, ArchiveInUseIsNotOpened) {
    const HeldArchive holder = HeldArchive::open(archive.archivePath(), HeldArchive::Access::Read);
    EXPECT_EQ(failureOf(kFirst), "Cannot open file " + archive.archivePath() +
                                     ": the archive is in use by another program");
    EXPECT_TRUE(archive.stagedFiles().empty());
}

}  // namespace
}  // namespace xcr
