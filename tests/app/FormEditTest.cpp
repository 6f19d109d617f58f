#include <gtest/gtest.h>

#include <QContextMenuEvent>
#include <QTest>
#include <filesystem>

#include "app/TForm1.h"
#include "archive/store/OpenedArchive.h"
#include "platform/FileUriList.h"
#include "tests/app/FakeServices.h"
#include "tests/support/XcrBuilder.h"

namespace xcr {
namespace {

using test::Bytes;
using test::bytesOf;

// The window on an archive of three entries, its edit copies in the tests' cache folder.
class FormEditTest : public ::testing::Test {
protected:
    void SetUp() override {
        test::XcrBuilder()
            .add("art\\hills.bmp", "hills")
            .add("w\xe9.wav", "wave")  // not UTF-8: its copy is named as the list shows it
            .add("r.txt", "r")
            .writeTo(archive);
    }
    void TearDown() override {
        std::filesystem::remove_all(copies.folder());
        std::filesystem::remove(copies.folder() + ".archive");
    }
    void open() {
        fakes.OpenDialog1->replies.push_back(archive);
        form.OpenXCR1->trigger();
    }
    std::string copyOf(int row) const { return copies.copyOf(openArchive(archive).entries, row); }
    enum class Asked { MenuKey = -2, ShiftF10 = -1 };
    // Asks for the list's menu by a right click on `row`, or from the keyboard as the
    // desktop passes on the Menu key or as Shift+F10; whether it showed.
    bool menuShown(int row) {
        QListView& list = *form.CheckListBox1;
        if (row == static_cast<int>(Asked::ShiftF10)) {
            QTest::keyClick(&list, Qt::Key_F10, Qt::ShiftModifier);
        } else {
            const bool mouse = row >= 0;
            const QPoint at =
                mouse ? list.visualRect(list.model()->index(row, 0)).center() : QPoint(5, 5);
            QContextMenuEvent event(mouse ? QContextMenuEvent::Mouse : QContextMenuEvent::Keyboard,
                                    at, list.viewport()->mapToGlobal(at));
            QCoreApplication::sendEvent(mouse ? list.viewport() : &list, &event);
        }
        const bool shown = form.PopupMenu1->isVisible();
        form.PopupMenu1->hide();
        return shown;
    }
    void edit(int row, QAction* how) {
        form.CheckListBox1->setItemIndex(row);
        how->trigger();
        ASSERT_TRUE(QTest::qWaitFor([this] { return form.JvThread5->runningCount() == 0; }));
    }
    // Waits for the note that the watch has judged a change, and says whether the entry
    // is now replaced.
    bool judged(int row) {
        const qsizetype before = fakes.notes->texts.size();
        EXPECT_TRUE(QTest::qWaitFor([&] { return fakes.notes->texts.size() > before; }, 10000));
        return form.session().replacements.isReplaced(row);
    }

    test::TempDir dir;
    const std::string archive = dir.file("a.xcr");
    const EditCopies copies{EditCopies::userRoot(), archive};
    test::FakeServices fakes;
    TForm1 form{fakes.take()};
};

TEST_F(FormEditTest, TheListsMenuActsOnTheEntryChosenAndIsGreyedWithTheListDuringAJob) {
    const auto enabled = [this] {
        std::string states;
        for (QAction* item : {form.OpenInDefaultApplication1, form.OpenWith1, form.Extract1,
                              form.Replace1, form.ForgetReplacement1}) {
            states += item->isEnabled() ? '1' : '0';
        }
        return states;
    };
    EXPECT_FALSE(menuShown(0)) << "before an archive is open";
    for (const Asked key : {Asked::MenuKey, Asked::ShiftF10}) {
        EXPECT_FALSE(menuShown(static_cast<int>(key))) << "from the keyboard with nothing chosen";
    }
    open();
    EXPECT_TRUE(menuShown(1));
    EXPECT_EQ(form.CheckListBox1->itemIndex(), 1) << "a right click chooses the entry";
    EXPECT_EQ(enabled(), "11110");
    fakes.OpenDialog2->replies.push_back(dir.file("new.wav"));
    form.Replace1->trigger();
    EXPECT_EQ(form.session().replacements.path(1), dir.file("new.wav"));
    for (const Asked key : {Asked::MenuKey, Asked::ShiftF10}) {
        EXPECT_TRUE(menuShown(static_cast<int>(key)));
        EXPECT_EQ(enabled(), "11111");
    }
    form.ForgetReplacement1->trigger();
    EXPECT_FALSE(form.session().replacements.isReplaced(1));
    {
        const JobTicket job = form.JvThread1->reserve();
        EXPECT_FALSE(menuShown(1));
        EXPECT_FALSE(form.PopupMenu1->isEnabled());
    }
    EXPECT_TRUE(form.PopupMenu1->isEnabled());

    // Extract… writes this entry alone, whatever is checked.
    form.SpeedButton4->click();
    fakes.JvBrowseFolder1->answer = dir.file("out");
    std::filesystem::create_directory(dir.file("out"));
    form.CheckListBox1->setItemIndex(2);
    form.Extract1->trigger();
    ASSERT_TRUE(QTest::qWaitFor([this] { return form.SpeedButton2->isEnabled(); }));
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.file("out")), {}), 1);
    EXPECT_EQ(test::readFileBytes(dir.file("out/r.txt")), bytesOf("r"));
}

// Each way an editor leaves the copy, and what the entry's replacement becomes.
TEST_F(FormEditTest, ACopyEditedThereIsRecordedAndTakenBackByItsBytes) {
    open();
    edit(1, form.OpenInDefaultApplication1);
    const std::string copy = copyOf(1);
    EXPECT_EQ(fakes.shell->opened, QStringList{QString::fromLatin1(fileUriOf(copy).c_str())});
    EXPECT_EQ(test::readFileBytes(copy), bytesOf("wave"));
    const auto renameOver = [&](const char* bytes) {
        test::writeFileBytes(copy + ".new", bytesOf(bytes));
        std::filesystem::rename(copy + ".new", copy);
    };
    const struct Step {
        const char* done;
        std::function<void()> act;
        bool replaced;
    } steps[] = {
        {"written in place", [&] { test::writeFileBytes(copy, bytesOf("wave 2")); }, true},
        {"renamed over and opened again at once",
         [&] {
             renameOver("wave 3");
             edit(1, form.OpenInDefaultApplication1);
         },
         true},
        {"back to the entry's bytes", [&] { renameOver("wave"); }, false},
        {"edited again", [&] { test::writeFileBytes(copy, bytesOf("wave 4")); }, true},
        {"removed", [&] { std::filesystem::remove(copy); }, false},
        {"written anew", [&] { renameOver("wave 5"); }, true},
    };
    for (const Step& step : steps) {
        SCOPED_TRACE(step.done);
        step.act();
        EXPECT_EQ(judged(1), step.replaced) << fakes.notes->texts.last().toStdString();
        EXPECT_EQ(
            form.CheckListBox1->model()->index(1, 0).data(CheckListModel::kReplacedRole).toBool(),
            step.replaced);
    }
    EXPECT_EQ(fakes.notes->texts.last(),
              QString::fromUtf8("Recorded the edit of w\u00e9.wav. Save XCR writes it."));
    EXPECT_EQ(copy, copies.folder() + "/w\u00e9.wav");
    EXPECT_TRUE(fakes.messages->texts.empty());

    // A save while the editor is still writing waits for it.
    test::writeFileBytes(copy, bytesOf("wave 6"));
    form.SaveXCR1->trigger();
    EXPECT_EQ(fakes.messages->texts,
              (std::vector<std::string>{
                  "An edited entry is still being written. Save XCR again in a moment."}));
    fakes.messages->texts.clear();
    ASSERT_TRUE(judged(1));
    form.SaveXCR1->trigger();
    ASSERT_TRUE(QTest::qWaitFor([this] { return form.SpeedButton2->isEnabled(); }));
    ASSERT_TRUE(fakes.messages->texts.empty()) << fakes.messages->texts.front();
    OpenedArchive opened = openArchive(archive);
    EXPECT_EQ(copyState(opened.archive, opened.entries.placement(1), copy), CopyState::AsTheEntry);
}

// Open with… asks among the desktop's applications, remembers the choice per extension,
// and says in one message when the copy cannot be opened.
TEST_F(FormEditTest, OpenWithRemembersTheChoiceAndAFailedOpeningIsSaidOnce) {
    open();
    fakes.applications->choices = {{"paint.desktop", "Paint"}, {"wave.desktop", "Wave"}};
    edit(1, form.OpenWith1);
    EXPECT_FALSE(std::filesystem::exists(copyOf(1))) << "a cancel copies nothing";
    fakes.applicationChooser->answer = 1;
    edit(1, form.OpenWith1);
    edit(1, form.OpenWith1);
    EXPECT_EQ(fakes.applicationChooser->preselections, (std::vector<int>{0, 0, 1}));
    EXPECT_EQ(fakes.applications->launched.size(), 2u);
    EXPECT_EQ(fakes.applications->launched.front(),
              std::make_pair(std::string("wave.desktop"), copyOf(1)));

    fakes.applications->failure = "it crashed";
    edit(1, form.OpenWith1);
    fakes.shell->opens = false;
    edit(1, form.OpenInDefaultApplication1);
    EXPECT_EQ(fakes.messages->texts,
              (std::vector<std::string>{
                  "Cannot open " + copyOf(1) + ": it crashed",
                  "Cannot open " + copyOf(1) + ": no application on this desktop opens it"}));
}

// An edit that was not saved into the archive outlasts new openings of the archive.
TEST_F(FormEditTest, AnEarlierEditIsSetAsideWhenTheEntryIsOpenedAfresh) {
    open();
    edit(0, form.OpenInDefaultApplication1);
    test::writeFileBytes(copyOf(0), bytesOf("my hills"));
    ASSERT_TRUE(judged(0));
    open();
    EXPECT_FALSE(form.session().replacements.isReplaced(0));
    // The editor, still open, is heard after the archive was opened again.
    test::writeFileBytes(copyOf(0), bytesOf("my hills 2"));
    EXPECT_TRUE(judged(0));
    open();
    edit(0, form.OpenInDefaultApplication1);
    const std::string kept = copies.folder() + "/art/hills (earlier edit).bmp";
    EXPECT_EQ(fakes.messages->notices.back(),
              "Your earlier edit of hills.bmp was kept as " + kept + ".");
    EXPECT_EQ(test::readFileBytes(kept), bytesOf("my hills 2"));
    EXPECT_EQ(test::readFileBytes(copyOf(0)), bytesOf("hills"));
}

}  // namespace
}  // namespace xcr
