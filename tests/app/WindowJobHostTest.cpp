#include <gtest/gtest.h>

#include <QTest>
#include <future>
#include <thread>

#include "app/WindowJobHost.h"
#include "tests/app/FakeServices.h"

namespace xcr {
namespace {

class WindowJobHostTest : public ::testing::Test {
protected:
    void SetUp() override {
        list->setNames({"a.bmp", "\xfe.wav", "c"});
        lock.take();
    }
    // Runs `work` on a worker thread, keeping this (the window's) thread handling events.
    template <typename Work>
    auto onWorker(Work work) {
        auto result = std::async(std::launch::async, std::move(work));
        EXPECT_TRUE(QTest::qWaitFor(
            [&] { return result.wait_for(std::chrono::seconds(0)) == std::future_status::ready; }));
        return result.get();
    }

    QWidget window;
    CheckListBox* list = new CheckListBox(&window);
    QProgressBar* progress = new QProgressBar(&window);
    QWidget* extract = new QWidget(&window);
    JobLock lock{{extract, list}};
    test::FakeFolderChooser chooser;
    test::FakeBeeper beeper;
    WindowJobHost host{{&window, list, progress, &lock, &chooser, &beeper}};
};

TEST_F(WindowJobHostTest, ReadsSeeTheListAsItStandsWhenRead) {
    list->setChecked(2, true);
    const auto seen = onWorker([this] {
        std::vector<std::string> names;
        std::vector<bool> marks;
        for (int i = 0; i < host.entryCount(); ++i) {
            names.push_back(host.entryName(i));
            marks.push_back(host.isChecked(i));
        }
        // Past the list: no entry, and nothing thrown on the window's thread.
        names.push_back(host.entryName(3));
        marks.push_back(host.isChecked(-1));
        return std::make_pair(names, marks);
    });
    EXPECT_EQ(seen.first, (std::vector<std::string>{"a.bmp", "\xfe.wav", "c", ""}));
    EXPECT_EQ(seen.second, (std::vector<bool>{false, false, true, false}));
}

TEST_F(WindowJobHostTest, WritesArriveInOrderBeforeLaterReads) {
    std::vector<int> values;
    QObject::connect(progress, &QProgressBar::valueChanged, [&](int value) {
        values.push_back(value);
        // The user checks entry 1 as the bar reaches 0; the job's next read sees it.
        if (value == 0) {
            list->setChecked(1, true);
        }
    });
    const bool seenChecked = onWorker([this] {
        host.setProgressMax(2);
        host.setProgress(0);
        const bool checked = host.isChecked(1);
        host.setProgress(2);
        host.beep();
        host.releaseLock();
        return checked;
    });
    EXPECT_TRUE(seenChecked);
    QApplication::processEvents();
    EXPECT_EQ(progress->maximum(), 2);
    EXPECT_EQ(values, (std::vector<int>{0, 2}));
    EXPECT_EQ(beeper.beeps, 1);
    EXPECT_FALSE(lock.isHeld());
    EXPECT_TRUE(list->isEnabled());
    EXPECT_TRUE(extract->isEnabled());
}

TEST_F(WindowJobHostTest, ChooserRunsOnTheWindowsThreadWhileTheJobWaits) {
    std::thread::id chooserThread;
    chooser.answer = "/tmp/out";
    chooser.onShow = [&] { chooserThread = std::this_thread::get_id(); };
    EXPECT_EQ(onWorker([this] { return host.chooseExtractionFolder(); }), "/tmp/out");
    EXPECT_EQ(chooserThread, std::this_thread::get_id());
    // A cancel keeps the folder confirmed before.
    chooser.answer.clear();
    EXPECT_EQ(onWorker([this] { return host.chooseExtractionFolder(); }), "/tmp/out");
    EXPECT_EQ(chooser.shown, 2);
}

}  // namespace
}  // namespace xcr
