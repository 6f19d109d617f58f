#include <gtest/gtest.h>

#include <QSignalSpy>

#include "app/TForm1.h"
#include "app/WindowTitle.h"
#include "tests/app/FakeServices.h"
#include "tests/support/InterruptedSave.h"
#include "tests/support/XcrBuilder.h"

namespace xcr {
namespace {

using test::XcrBuilder;

class FormCommandsTest : public ::testing::Test {
protected:
    // Confirms `path` in the Open XCR dialog (nullopt cancels it) through the menu.
    void openXcr(std::optional<std::string> path) {
        fakes.OpenDialog1->replies.push_back(std::move(path));
        form.OpenXCR1->trigger();
    }
    std::string writeArchive(const std::string& name, const XcrBuilder& builder) {
        const std::string path = dir.file(name);
        builder.writeTo(path);
        return path;
    }
    std::vector<std::string> listed() const {
        std::vector<std::string> names;
        for (int i = 0; i < form.CheckListBox1->count(); ++i) {
            names.push_back(form.CheckListBox1->itemName(i));
        }
        return names;
    }

    test::TempDir dir;
    test::FakeServices fakes;
    TForm1 form{fakes.take()};
};

TEST_F(FormCommandsTest, OpenListsDisplayNamesAndNamesTheArchiveInTheTitle) {
    const std::string path = writeArchive("data.xcr", XcrBuilder()
                                                          .add("art\\tex\\wall.bmp", "bm")
                                                          .add("sound\\wall.bmp", "xy")
                                                          .add("c:readme", "r")
                                                          .add(std::string("\0x", 2), "z")
                                                          .add("\xe9\xff.wav", "w"));
    openXcr(path);
    EXPECT_EQ(listed(),
              (std::vector<std::string>{"wall.bmp", "wall.bmp", "readme", "", "\xe9\xff.wav"}));
    EXPECT_EQ(form.windowTitle(), "Pelloran Plus 3 - data.xcr");
    EXPECT_EQ(archiveWindowTitle("C:\\games\\data.xcr"), "Pelloran Plus 3 - data.xcr");
    EXPECT_EQ(form.session().entries.count(), 5);
    EXPECT_EQ(form.CheckListBox1->itemIndex(), -1);
    EXPECT_TRUE(fakes.messages->texts.empty());
}

TEST_F(FormCommandsTest, FirstOpenCancelledChangesNothing) {
    openXcr(std::nullopt);
    EXPECT_EQ(fakes.OpenDialog1->shown, 1);
    EXPECT_EQ(form.CheckListBox1->count(), 0);
    EXPECT_EQ(form.windowTitle(), "Pelloran Plus 3");
    EXPECT_TRUE(fakes.messages->texts.empty());
}

// A cancelled dialog writes and forgets nothing, also after an earlier confirmation:
// Open XCR keeps the list, its marks, the replacements and the title; Replace records
// no file for the entry now selected.
TEST_F(FormCommandsTest, CancellingOpenOrReplaceAfterAnEarlierConfirmationChangesNothing) {
    const std::string path = writeArchive("a.xcr", XcrBuilder().add("one", "1").add("two", "2"));
    openXcr(path);
    form.CheckListBox1->setChecked(0, true);
    form.CheckListBox1->setItemIndex(1);
    fakes.OpenDialog2->replies.push_back(dir.file("new.bin"));
    form.SpeedButton3->click();
    ASSERT_TRUE(form.session().replacements.isReplaced(1));
    form.setWindowTitle("elsewhere");

    // The archive changed on disk in between; the cancelled dialog does not read it.
    XcrBuilder().add("one", "1").add("two", "2").add("three", "3").writeTo(path);
    openXcr(std::nullopt);
    EXPECT_EQ(listed(), (std::vector<std::string>{"one", "two"}));
    EXPECT_TRUE(form.CheckListBox1->isChecked(0));
    EXPECT_EQ(form.CheckListBox1->itemIndex(), 1);
    EXPECT_EQ(form.session().replacements.list(),
              (std::vector<Replacement>{{1, dir.file("new.bin")}}));
    EXPECT_EQ(form.windowTitle(), "elsewhere");

    form.CheckListBox1->setItemIndex(0);
    fakes.OpenDialog2->replies.push_back(std::nullopt);
    form.SpeedButton3->click();
    EXPECT_EQ(fakes.OpenDialog2->shown, 2);
    EXPECT_EQ(form.session().replacements.list(),
              (std::vector<Replacement>{{1, dir.file("new.bin")}}));

    // Confirming a file, the same one included, reads it afresh.
    openXcr(path);
    EXPECT_EQ(listed(), (std::vector<std::string>{"one", "two", "three"}));
    EXPECT_FALSE(form.CheckListBox1->isChecked(0));
    EXPECT_TRUE(form.session().replacements.list().empty());
    EXPECT_EQ(form.CheckListBox1->itemIndex(), -1);
    EXPECT_EQ(form.windowTitle(), "Pelloran Plus 3 - a.xcr");
    EXPECT_TRUE(fakes.messages->texts.empty());
}

TEST_F(FormCommandsTest, MissingArchiveShowsMessageEmptiesListAndKeepsTitle) {
    openXcr(writeArchive("a.xcr", XcrBuilder().add("one", "1")));
    form.CheckListBox1->setItemIndex(0);
    fakes.OpenDialog2->replies.push_back(dir.file("new.bin"));
    form.SpeedButton3->click();

    const std::string missing = dir.file("gone.xcr");
    openXcr(missing);
    EXPECT_EQ(fakes.messages->texts, std::vector<std::string>{"Cannot open file " + missing +
                                                              ": No such file or directory"});
    EXPECT_EQ(form.CheckListBox1->count(), 0);
    EXPECT_EQ(form.session().entries.count(), 0);
    EXPECT_FALSE(form.session().replacements.isReplaced(0));
    EXPECT_EQ(form.windowTitle(), "Pelloran Plus 3 - a.xcr");
    // The window stays usable: the failed name is the archive path now.
    EXPECT_EQ(form.session().archivePath, missing);
    openXcr(dir.file("a.xcr"));
    EXPECT_EQ(form.CheckListBox1->count(), 1);
}

// The journal of a save that was cut off is applied at Open XCR, and the user is told.
TEST_F(FormCommandsTest, OpenPutsBackAnInterruptedSaveAndSaysSo) {
    const std::string path = writeArchive("a.xcr", XcrBuilder().add("one", "1").add("two", "2"));
    const test::Bytes before = test::readFileBytes(path);
    // A save that was to write 12345 as the total size and grow the file by 40 bytes.
    test::interruptSave(path, 12345, 40);
    openXcr(path);
    EXPECT_EQ(fakes.messages->notices,
              std::vector<std::string>{"A save of " + path +
                                       " was interrupted. The archive has been put back as it was "
                                       "before that save."});
    EXPECT_EQ(test::readFileBytes(path), before);
    EXPECT_EQ(listed(), (std::vector<std::string>{"one", "two"}));
    EXPECT_TRUE(fakes.messages->texts.empty());
}

TEST_F(FormCommandsTest, RecordCountOfOneListsNothingButSetsTheTitle) {
    openXcr(writeArchive("empty.xcr", XcrBuilder().declaredCount(1)));
    EXPECT_EQ(form.CheckListBox1->count(), 0);
    EXPECT_EQ(form.windowTitle(), "Pelloran Plus 3 - empty.xcr");
}

TEST_F(FormCommandsTest, ReplaceRecordsTheDialogsFileForTheSelectedEntry) {
    openXcr(writeArchive("a.xcr", XcrBuilder().add("one", "1").add("two", "2").add("3", "3")));
    // Nothing selected: the dialog is not even shown.
    form.SpeedButton3->click();
    EXPECT_EQ(fakes.OpenDialog2->shown, 0);

    form.CheckListBox1->setItemIndex(0);
    fakes.OpenDialog2->replies.push_back(std::nullopt);
    form.SpeedButton3->click();
    EXPECT_EQ(fakes.OpenDialog2->shown, 1);
    EXPECT_FALSE(form.session().replacements.isReplaced(0));

    fakes.OpenDialog2->replies.push_back(dir.file("first.bin"));
    form.SpeedButton3->click();
    fakes.OpenDialog2->replies.push_back(dir.file("second.bin"));
    form.SpeedButton3->click();
    form.CheckListBox1->setItemIndex(2);
    fakes.OpenDialog2->replies.push_back(dir.file("third.bin"));
    form.SpeedButton3->click();
    EXPECT_EQ(form.session().replacements.list(),
              (std::vector<Replacement>{{0, dir.file("second.bin")}, {2, dir.file("third.bin")}}));
    EXPECT_TRUE(fakes.messages->texts.empty());
}

TEST_F(FormCommandsTest, SelectAndDeselectAllTouchOnlyMarks) {
    form.SpeedButton4->click();
    form.SpeedButton5->click();
    EXPECT_TRUE(fakes.messages->texts.empty());

    openXcr(writeArchive("a.xcr", XcrBuilder().add("a.wav", "1").add("b", "2").add("c", "3")));
    form.CheckListBox1->setItemIndex(0);
    form.SpeedButton1->setEnabled(true);
    form.CheckListBox1->setChecked(1, true);
    QSignalSpy clicks(form.CheckListBox1, &CheckListBox::entryClicked);
    form.SpeedButton4->click();
    for (int i = 0; i < 3; ++i) {
        EXPECT_TRUE(form.CheckListBox1->isChecked(i)) << i;
    }
    EXPECT_EQ(form.CheckListBox1->itemIndex(), 0);
    EXPECT_TRUE(form.SpeedButton1->isEnabled());
    form.SpeedButton5->click();
    for (int i = 0; i < 3; ++i) {
        EXPECT_FALSE(form.CheckListBox1->isChecked(i)) << i;
    }
    EXPECT_EQ(form.CheckListBox1->itemIndex(), 0);
    EXPECT_EQ(clicks.count(), 0);
}

TEST_F(FormCommandsTest, ExitWithPendingReplacementsClosesAtOnce) {
    openXcr(writeArchive("a.xcr", XcrBuilder().add("one", "1")));
    form.CheckListBox1->setItemIndex(0);
    fakes.OpenDialog2->replies.push_back(dir.file("new.bin"));
    form.SpeedButton3->click();
    form.show();
    QSignalSpy closed(&form, &TForm1::closed);
    form.Exit1->trigger();
    EXPECT_EQ(closed.count(), 1);
    EXPECT_FALSE(form.isVisible());
    EXPECT_TRUE(fakes.messages->texts.empty());
    EXPECT_EQ(fakes.OpenDialog1->shown, 1);
}

}  // namespace
}  // namespace xcr
