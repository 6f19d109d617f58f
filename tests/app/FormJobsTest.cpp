#include <gtest/gtest.h>

#include <sys/stat.h>
#include <QSignalSpy>
#include <QTest>
#include <atomic>
#include <filesystem>
#include <future>
#include <system_error>

#include "app/TForm1.h"
#include "archive/jobs/ExtractionJob.h"
#include "archive/store/OpenedArchive.h"
#include "tests/app/FakeServices.h"
#include "tests/support/FileFaults.h"
#include "tests/support/XcrBuilder.h"

namespace xcr {
namespace {

using test::Bytes;
using test::XcrBuilder;

// Runs `action` once, the first time `control` becomes enabled while `when` holds.
class OnEnabled : public QObject {
public:
    OnEnabled(QWidget* control, std::function<bool()> when, std::function<void()> action)
        : when_(std::move(when)), action_(std::move(action)) {
        control->installEventFilter(this);
    }
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::EnabledChange && static_cast<QWidget*>(watched)->isEnabled() &&
            action_ && when_()) {
            std::exchange(action_, nullptr)();
        }
        return false;
    }

private:
    std::function<bool()> when_;
    std::function<void()> action_;
};

class FormJobsTest : public ::testing::Test {
protected:
    void SetUp() override {
        fakes.JvBrowseFolder1->answer = out;
        ASSERT_EQ(::mkdir(out.c_str(), 0700), 0);
    }
    // Opens an archive of `count` entries named e0 ... with data "data<i>".
    void openArchive(int count) {
        XcrBuilder builder;
        for (int i = 0; i < count; ++i) {
            builder.add("dir\\e" + std::to_string(i), "data" + std::to_string(i));
        }
        builder.writeTo(archive);
        fakes.OpenDialog1->replies.push_back(archive);
        form.OpenXCR1->trigger();
        ASSERT_EQ(form.CheckListBox1->count(), count);
    }
    // Starts an extraction and runs `action` on the window while the job, on its worker
    // thread, is held at its first file call.
    void duringExtraction(const std::function<void()>& action) {
        std::promise<void> resume;
        std::atomic<bool> held{false};
        // The calls after those of the window holding the archive are the job's.
        FileFaults::arm({});
        HeldArchive::attempt(archive);
        const std::uint64_t holding = FileFaults::counted();
        FileFaults::armAction(holding + 1, [&, resumed = resume.get_future().share()] {
            held = true;
            resumed.wait();
        });
        form.SpeedButton2->click();
        EXPECT_TRUE(QTest::qWaitFor([&] { return held.load(); }));
        action();
        resume.set_value();
        waitForJobs();
        FileFaults::disarm();
    }
    bool running() const {
        return form.JvThread1->runningCount() + form.JvThread2->runningCount() > 0;
    }
    void waitForJobs() {
        ASSERT_TRUE(QTest::qWaitFor([this] { return !running(); }));
    }
    std::vector<int> extracted(int count) const {
        std::vector<int> written;
        for (int i = 0; i < count; ++i) {
            struct stat info {};
            if (::stat((out + "/e" + std::to_string(i)).c_str(), &info) == 0) {
                EXPECT_EQ(test::readFileBytes(out + "/e" + std::to_string(i)),
                          test::bytesOf("data" + std::to_string(i)));
                written.push_back(i);
            }
        }
        return written;
    }
    // The four controls of the job lock, and whether each is enabled.
    std::vector<bool> lockControls() const {
        return {form.SpeedButton2->isEnabled(), form.SpeedButton3->isEnabled(),
                form.File1->menuAction()->isEnabled(), form.CheckListBox1->isEnabled()};
    }
    const std::vector<bool> unlocked{true, true, true, true};
    const std::vector<bool> locked{false, false, false, false};

    test::TempDir dir;
    const std::string archive = dir.file("a.xcr");
    const std::string out = dir.file("out");
    test::FakeServices fakes;
    TForm1 form{fakes.take()};
};

TEST_F(FormJobsTest, ExtractWritesTheCheckedEntriesAndMovesTheBar) {
    openArchive(8);
    form.CheckListBox1->setChecked(2, true);
    form.CheckListBox1->setChecked(5, true);
    form.SpeedButton2->click();
    EXPECT_EQ(lockControls(), locked);
    waitForJobs();
    EXPECT_EQ(extracted(8), (std::vector<int>{2, 5}));
    EXPECT_EQ(form.ProgressBar1->maximum(), 7);
    EXPECT_EQ(form.ProgressBar1->value(), 5);
    EXPECT_EQ(lockControls(), unlocked);
    EXPECT_TRUE(fakes.messages->texts.empty());
}

// A job sets the bar's maximum but never resets its position: a smaller archive after a
// larger one leaves the bar full, not empty.
TEST_F(FormJobsTest, ASmallerMaximumKeepsTheBarsPositionInRange) {
    openArchive(10);
    form.CheckListBox1->setAllChecked(true);
    form.SpeedButton2->click();
    waitForJobs();
    ASSERT_EQ(form.ProgressBar1->value(), 9);
    openArchive(3);
    form.SpeedButton2->click();  // nothing checked: only the maximum changes
    waitForJobs();
    EXPECT_EQ(form.ProgressBar1->maximum(), 2);
    EXPECT_EQ(form.ProgressBar1->value(), 2);
}

TEST_F(FormJobsTest, DuringAJobOnlyTheLockedControlsAreOff) {
    openArchive(2);
    form.SpeedButton1->setEnabled(true);
    fakes.JvBrowseFolder1->onShow = [this] {
        EXPECT_EQ(lockControls(), locked);
        for (auto* button :
             {form.SpeedButton1, form.SpeedButton4, form.SpeedButton5, form.SpeedButton6,
              form.SpeedButton7, form.SpeedButton8, form.SpeedButton9}) {
            EXPECT_TRUE(button->isEnabled()) << button->toolTip().toStdString();
        }
        EXPECT_TRUE(form.About1->isEnabled());
        // A second Extract or a Save reached now starts nothing and frees nothing.
        form.SpeedButton2Click();
        form.SaveXCR1Click();
        EXPECT_FALSE(running());
        EXPECT_EQ(fakes.JvBrowseFolder1->shown, 1);
        EXPECT_EQ(lockControls(), locked);
    };
    form.SpeedButton2->click();
    waitForJobs();
    EXPECT_EQ(fakes.JvBrowseFolder1->shown, 1);
    EXPECT_EQ(lockControls(), unlocked);
    EXPECT_TRUE(form.SpeedButton1->isEnabled());
}

// Records each change of a control's enabled state, named by its hint or title.
class EnabledChanges : public QObject {
public:
    explicit EnabledChanges(const QList<QWidget*>& controls) {
        for (QWidget* control : controls) {
            control->installEventFilter(this);
        }
    }
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::EnabledChange) {
            auto* control = static_cast<QWidget*>(watched);
            changes.push_back(control->objectName().toStdString() +
                              (control->isEnabled() ? " on" : " off"));
        }
        return false;
    }
    std::vector<std::string> changes;
};

TEST_F(FormJobsTest, TheLockTakesAndGivesBackItsControlsInOrder) {
    openArchive(2);
    const QList<QWidget*> controls{form.SpeedButton2, form.SpeedButton3, form.File1,
                                   form.CheckListBox1};
    const char* names[] = {"SpeedButton2", "SpeedButton3", "File1", "CheckListBox1"};
    for (int i = 0; i < 4; ++i) {
        controls[i]->setObjectName(names[i]);
    }
    EnabledChanges recorder(controls);
    form.SpeedButton2->click();
    waitForJobs();
    EXPECT_EQ(recorder.changes,
              (std::vector<std::string>{"SpeedButton2 off", "SpeedButton3 off", "File1 off",
                                        "CheckListBox1 off", "SpeedButton2 on", "SpeedButton3 on",
                                        "File1 on", "CheckListBox1 on"}));
}

// The job holds the archive: Play Wav reached meanwhile cannot open it and plays
// nothing, and the job's output is complete.
TEST_F(FormJobsTest, PlayWavDuringAJobCannotOpenTheArchive) {
    openArchive(3);
    form.CheckListBox1->setAllChecked(true);
    form.CheckListBox1->setItemIndex(1);
    form.SpeedButton1->setEnabled(true);
    fakes.JvBrowseFolder1->onShow = [this] { form.SpeedButton1->click(); };
    form.SpeedButton2->click();
    waitForJobs();
    EXPECT_EQ(fakes.messages->texts,
              (std::vector<std::string>{"Cannot open file " + archive +
                                        ": the archive is in use by another program"}));
    EXPECT_TRUE(fakes.JvWavePlayer1->played.empty());
    EXPECT_EQ(extracted(3), (std::vector<int>{0, 1, 2}));
}

// Select all and Deselect all stay in reach during an extraction and change the marks
// the job reads as it reaches each entry. (Which entries count is the job's own test.)
TEST_F(FormJobsTest, SelectAllOrDeselectAllDuringExtractionReachTheJob) {
    for (const bool selectAll : {true, false}) {
        SCOPED_TRACE(selectAll ? "select all" : "deselect all");
        std::filesystem::remove_all(out);
        std::filesystem::create_directory(out);
        openArchive(10);
        form.CheckListBox1->setChecked(1, true);
        form.CheckListBox1->setChecked(3, true);
        duringExtraction([&] { (selectAll ? form.SpeedButton4 : form.SpeedButton5)->click(); });
        EXPECT_EQ(extracted(10), selectAll ? (std::vector<int>{0, 1, 2, 3, 4, 5, 6, 7, 8, 9})
                                           : std::vector<int>{});
        EXPECT_EQ(lockControls(), unlocked);
    }
}

TEST_F(FormJobsTest, QuietEndsReleaseTheLockAndTheRunnersStartAgain) {
    // No archive opened yet: both jobs end at once, without a word.
    for (int round = 0; round < 2; ++round) {
        form.SpeedButton2->click();
        EXPECT_EQ(form.JvThread1->runningCount(), 1);
        waitForJobs();
        EXPECT_EQ(lockControls(), unlocked);
        form.SaveXCR1->trigger();
        EXPECT_EQ(form.JvThread2->runningCount(), 1);
        waitForJobs();
        EXPECT_EQ(lockControls(), unlocked);
    }
    EXPECT_EQ(fakes.JvBrowseFolder1->shown, 0);
    // An archive but no folder ever confirmed.
    openArchive(1);
    fakes.JvBrowseFolder1->answer.clear();
    form.SpeedButton2->click();
    waitForJobs();
    EXPECT_EQ(fakes.JvBrowseFolder1->shown, 1);
    EXPECT_EQ(lockControls(), unlocked);
    EXPECT_TRUE(fakes.messages->texts.empty());
}

TEST_F(FormJobsTest, FailedJobIsShownAfterItsEndWithTheControlsBack) {
    openArchive(3);
    form.SpeedButton4->click();
    fakes.JvBrowseFolder1->answer = dir.file("missing");
    std::vector<bool> lockAtMessage;
    fakes.messages->onShow = [&] {
        EXPECT_FALSE(running());
        lockAtMessage = lockControls();
    };
    form.SpeedButton2->click();
    waitForJobs();
    EXPECT_EQ(fakes.messages->texts,
              std::vector<std::string>{"Cannot create file " + dir.file("missing") + "/e0"});
    EXPECT_EQ(lockAtMessage, unlocked);

    fakes.JvBrowseFolder1->answer = out;
    form.SpeedButton2->click();
    waitForJobs();
    EXPECT_EQ(extracted(3), (std::vector<int>{0, 1, 2}));
    EXPECT_EQ(fakes.messages->texts.size(), 1u);
}

TEST_F(FormJobsTest, ThreadThatCannotStartIsShownAndGivesTheLockBack) {
    openArchive(1);
    for (auto* runner : {form.JvThread1, form.JvThread2}) {
        runner->setThreadStarter([](std::function<void()>) -> std::thread {
            throw std::system_error(
                std::make_error_code(std::errc::resource_unavailable_try_again));
        });
    }
    form.SpeedButton2->click();
    form.SaveXCR1->trigger();
    const std::string text =
        "Thread creation error: " +
        std::make_error_code(std::errc::resource_unavailable_try_again).message();
    EXPECT_EQ(fakes.messages->texts, (std::vector<std::string>{text, text}));
    EXPECT_FALSE(running());
    EXPECT_EQ(lockControls(), unlocked);
}

// The lock is given back once per job, in the step that takes its end report: when the
// controls come back, nothing is counted as running and Extract starts again at once.
TEST_F(FormJobsTest, TheLockComesBackOnceWithTheEndReport) {
    openArchive(1);
    int unlocks = 0;
    OnEnabled again(
        form.CheckListBox1, [&] { return ++unlocks == 1; },
        [this] {
            EXPECT_FALSE(running());
            form.SpeedButton2->click();
            EXPECT_TRUE(running());
        });
    form.SpeedButton2->click();
    ASSERT_TRUE(QTest::qWaitFor([&] { return fakes.JvBrowseFolder1->shown == 2 && !running(); }));
    QApplication::processEvents();
    EXPECT_EQ(lockControls(), unlocked);
}

// A cancelled chooser writes nothing, even after a folder was confirmed before: files
// the user edited there since stay. The chooser still opens on that folder.
TEST_F(FormJobsTest, CancellingTheChooserAfterAnEarlierConfirmationWritesNothing) {
    openArchive(2);
    form.SpeedButton4->click();
    form.SpeedButton2->click();
    waitForJobs();
    ASSERT_EQ(extracted(2), (std::vector<int>{0, 1}));
    test::writeFileBytes(out + "/e0", test::bytesOf("edited since"));
    fakes.JvBrowseFolder1->answer.clear();
    form.SpeedButton2->click();
    waitForJobs();
    EXPECT_EQ(test::readFileBytes(out + "/e0"), test::bytesOf("edited since"));
    EXPECT_EQ(fakes.JvBrowseFolder1->folder(), out);
    EXPECT_EQ(lockControls(), unlocked);
    EXPECT_TRUE(fakes.messages->texts.empty());
}

TEST_F(FormJobsTest, ClosingDuringAJobWaitsForItsEnd) {
    openArchive(2);
    form.SpeedButton4->click();
    form.show();
    QSignalSpy closed(&form, &TForm1::closed);
    bool closedWhileRunning = true;
    fakes.JvBrowseFolder1->onShow = [&] {
        form.close();
        EXPECT_FALSE(form.isVisible());
        closedWhileRunning = closed.count() > 0;
    };
    form.SpeedButton2->click();
    waitForJobs();
    EXPECT_FALSE(closedWhileRunning);
    ASSERT_TRUE(QTest::qWaitFor([&] { return closed.count() == 1; }));
    EXPECT_EQ(extracted(2), (std::vector<int>{0, 1}));
}

TEST_F(FormJobsTest, SaveWritesTheReplacementAndUpdatesTheTable) {
    openArchive(3);
    const Bytes longer = test::patternBytes(40, 7);
    test::writeFileBytes(dir.file("new.bin"), longer);
    form.CheckListBox1->setItemIndex(1);
    fakes.OpenDialog2->replies.push_back(dir.file("new.bin"));
    form.SpeedButton3->click();
    form.SaveXCR1->trigger();
    EXPECT_EQ(lockControls(), locked);
    waitForJobs();
    EXPECT_EQ(lockControls(), unlocked);
    EXPECT_TRUE(fakes.messages->texts.empty());

    const EntryTable records = xcr::openArchive(archive).entries;
    ASSERT_EQ(records.count(), 3);
    EXPECT_EQ(form.session().entries.placements(), records.placements());
    const Bytes bytes = test::readFileBytes(archive);
    for (int i = 0; i < 3; ++i) {
        const auto record = records.placement(i);
        const Bytes data(bytes.begin() + record.offset,
                         bytes.begin() + record.offset + record.size);
        EXPECT_EQ(data, i == 1 ? longer : test::bytesOf("data" + std::to_string(i))) << i;
    }
    EXPECT_EQ(form.ProgressBar1->maximum(), 2);
}

// Undo last save is offered only for the archive as its last save left it; it runs under
// the job lock, puts the archive back byte for byte and drops the replacements.
TEST_F(FormJobsTest, UndoLastSavePutsTheArchiveBackAndDropsTheReplacements) {
    openArchive(3);
    const Bytes before = test::readFileBytes(archive);
    const auto offered = [&] {
        emit form.File1->aboutToShow();
        return form.UndoLastSave1->isEnabled();
    };
    EXPECT_FALSE(offered());
    test::writeFileBytes(dir.file("new.bin"), test::patternBytes(77, 31));
    form.CheckListBox1->setItemIndex(1);
    fakes.OpenDialog2->replies.push_back(dir.file("new.bin"));
    form.SpeedButton3->click();
    form.SaveXCR1->trigger();
    waitForJobs();
    ASSERT_TRUE(offered());

    form.UndoLastSave1->trigger();
    EXPECT_EQ(lockControls(), locked);
    ASSERT_TRUE(QTest::qWaitFor([this] { return form.JvThread3->runningCount() == 0; }));
    EXPECT_EQ(lockControls(), unlocked);
    EXPECT_TRUE(fakes.messages->texts.empty());
    EXPECT_EQ(test::readFileBytes(archive), before);
    EXPECT_TRUE(form.session().replacements.list().empty());
    EXPECT_EQ(form.session().entries.placements(), xcr::openArchive(archive).entries.placements());
    EXPECT_FALSE(offered());
}

}  // namespace
}  // namespace xcr
