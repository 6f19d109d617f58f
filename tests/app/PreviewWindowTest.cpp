#include <gtest/gtest.h>

#include <QBuffer>
#include <QTest>
#include <filesystem>

#include "app/TForm1.h"
#include "tests/app/FakeServices.h"
#include "tests/support/XcrBuilder.h"

namespace xcr {
namespace {

const QRgb kGreen = qRgb(10, 200, 30);
const QRgb kBlue = qRgb(20, 40, 220);

test::Bytes bitmapOf(int width, int height, QRgb colour = kGreen) {
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(colour);
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "BMP");
    return test::Bytes(buffer.data().begin(), buffer.data().end());
}

enum Entry { kPicture, kSound, kText, kBroken, kOtherPicture };

class PreviewWindowTest : public ::testing::Test {
protected:
    PreviewWindowTest() {
        test::XcrBuilder()
            .add("art\\pic.bmp", bitmapOf(30, 20))
            .add("SOUND.WAV", sound)
            .add("readme.txt", "hello")
            .add("broken.Bmp", "plain text, not a picture")
            .add("other.bmp", bitmapOf(12, 16, kBlue))
            .writeTo(archivePath);
        fakes.OpenDialog1->replies.assign(2, archivePath);
        form = std::make_unique<TForm1>(fakes.take());
        form->show();
        form->OpenXCR1->trigger();
    }

    void clickEntry(int row) {
        CheckListBox* list = form->CheckListBox1;
        const QRect item = list->visualRect(list->model()->index(row, 0));
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, item.center());
    }

    void clickCheckBox(int row) {
        CheckListBox* list = form->CheckListBox1;
        const QRect item = list->visualRect(list->model()->index(row, 0));
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                          {item.left() + 6, item.center().y()});
    }

    bool stagingIsEmpty() const {
        return std::filesystem::is_empty(form->session().staging.path());
    }

    test::TempDir dir;
    const std::string archivePath = dir.file("demo.xcr");
    const test::Bytes sound = test::patternBytes(700, 4);
    test::FakeServices fakes;
    const std::vector<std::string>& messages = fakes.messages->texts;
    const std::vector<test::Bytes>& played = fakes.JvWavePlayer1->played;
    std::unique_ptr<TForm1> form;
};

TEST_F(PreviewWindowTest, ClickedEntriesAreDispatchedByTheirNames) {
    clickEntry(kSound);
    EXPECT_TRUE(form->SpeedButton1->isEnabled());
    EXPECT_EQ(form->Image1->size(), QSize(0, 0));
    clickEntry(kPicture);
    EXPECT_FALSE(form->SpeedButton1->isEnabled());
    EXPECT_EQ(form->Image1->geometry(), QRect(0, 0, 30, 20));
    EXPECT_EQ(form->Image1->parentWidget(), form->Panel1);
    QTest::keyClick(form->CheckListBox1, Qt::Key_Down);
    EXPECT_TRUE(form->SpeedButton1->isEnabled());
    clickEntry(kText);
    EXPECT_FALSE(form->SpeedButton1->isEnabled());
    EXPECT_EQ(form->Image1->geometry(), QRect(0, 0, 30, 20));
    EXPECT_TRUE(messages.empty());
    EXPECT_TRUE(stagingIsEmpty());
}

TEST_F(PreviewWindowTest, PlayWavPlaysTheSelectedEntryOnlyWhenOneIsSelected) {
    clickEntry(kSound);
    form->OpenXCR1->trigger();
    ASSERT_TRUE(form->SpeedButton1->isEnabled());
    QTest::mouseClick(form->SpeedButton1, Qt::LeftButton);
    EXPECT_TRUE(played.empty());
    clickEntry(kSound);
    QTest::mouseClick(form->SpeedButton1, Qt::LeftButton);
    ASSERT_EQ(played.size(), 1u);
    EXPECT_EQ(played[0], sound);
    EXPECT_TRUE(messages.empty());
    EXPECT_TRUE(stagingIsEmpty());
}

TEST_F(PreviewWindowTest, PreviewFailureIsShownAndKeepsThePicture) {
    clickEntry(kPicture);
    clickEntry(kSound);
    clickEntry(kBroken);
    EXPECT_EQ(messages, std::vector<std::string>{"Bitmap image is not valid"});
    EXPECT_FALSE(form->SpeedButton1->isEnabled());
    EXPECT_EQ(form->Image1->geometry(), QRect(0, 0, 30, 20));
    EXPECT_TRUE(stagingIsEmpty());
}

TEST_F(PreviewWindowTest, CheckBoxOfAnUnselectedBitmapSelectsItShowsItAndTogglesItsMark) {
    clickEntry(kOtherPicture);
    ASSERT_EQ(form->Image1->picture().pixel(0, 0), kBlue);
    clickEntry(kSound);
    ASSERT_TRUE(form->SpeedButton1->isEnabled());
    ASSERT_FALSE(form->CheckListBox1->isChecked(kPicture));

    clickCheckBox(kPicture);
    EXPECT_EQ(form->CheckListBox1->itemIndex(), kPicture);
    EXPECT_TRUE(form->CheckListBox1->isChecked(kPicture));
    EXPECT_FALSE(form->CheckListBox1->isChecked(kSound));
    EXPECT_FALSE(form->SpeedButton1->isEnabled());
    EXPECT_EQ(form->Image1->geometry(), QRect(0, 0, 30, 20));
    EXPECT_EQ(form->Image1->picture().pixel(29, 19), kGreen);
    EXPECT_TRUE(messages.empty());
    EXPECT_TRUE(stagingIsEmpty());
}

// Backspace makes the list look for an item to select; with none listed, nothing is
// selected and no preview runs: whatever the last entry set stays.
TEST_F(PreviewWindowTest, BackspaceInTheListOfAnArchiveWithNothingListedDoesNothing) {
    clickEntry(kPicture);
    clickEntry(kSound);
    const std::string nothingListed = dir.file("nothing.xcr");
    test::XcrBuilder().trailingRecord("last.bmp", bitmapOf(5, 5)).writeTo(nothingListed);
    fakes.OpenDialog1->replies.assign(1, nothingListed);
    form->OpenXCR1->trigger();
    ASSERT_EQ(form->CheckListBox1->count(), 0);

    QTest::keyClick(form->CheckListBox1, Qt::Key_Backspace);
    EXPECT_EQ(form->CheckListBox1->itemIndex(), -1);
    EXPECT_TRUE(form->SpeedButton1->isEnabled());
    EXPECT_EQ(form->Image1->geometry(), QRect(0, 0, 30, 20));
    EXPECT_EQ(form->Image1->picture().pixel(0, 0), kGreen);
    EXPECT_TRUE(messages.empty());
    EXPECT_TRUE(played.empty());
    EXPECT_TRUE(stagingIsEmpty());
}

TEST(PreviewWindowAtStartTest, BackspaceInTheEmptyListDoesNothing) {
    test::FakeServices fakes;
    TForm1 form(fakes.take());
    form.show();
    const ImageFrame before = form.Image1->frame();
    QTest::keyClick(form.CheckListBox1, Qt::Key_Backspace);
    EXPECT_EQ(form.CheckListBox1->itemIndex(), -1);
    EXPECT_FALSE(form.SpeedButton1->isEnabled());
    EXPECT_EQ(form.Image1->frame(), before);
    EXPECT_TRUE(form.Image1->picture().isNull());
    EXPECT_TRUE(fakes.messages->texts.empty());
    EXPECT_TRUE(std::filesystem::is_empty(form.session().staging.path()));
}

TEST_F(PreviewWindowTest, ZoomButtonsAndDragMoveTheImage) {
    clickEntry(kPicture);
    QTest::mouseClick(form->SpeedButton6, Qt::LeftButton);
    EXPECT_EQ(form->Image1->geometry(), QRect(0, 0, 37, 25));
    QTest::mousePress(form->Image1, Qt::RightButton, {}, QPoint(10, 20));
    QTest::mouseRelease(form->Image1, Qt::RightButton, {}, QPoint(15, 2));
    EXPECT_EQ(form->Image1->geometry(), QRect(5, -18, 37, 25));
    QTest::mouseClick(form->SpeedButton7, Qt::LeftButton);
    EXPECT_EQ(form->Image1->geometry(), QRect(5, -18, 30, 20));
    QTest::mouseClick(form->SpeedButton8, Qt::LeftButton);
    EXPECT_EQ(form->Image1->frame(), (ImageFrame{0, 0, 410, 410, true, true}));
    QTest::mouseClick(form->SpeedButton9, Qt::LeftButton);
    EXPECT_EQ(form->Image1->frame(), (ImageFrame{0, 0, 30, 20, true, true}));
}

}  // namespace
}  // namespace xcr
