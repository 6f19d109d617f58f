#ifndef TESTS_E2E_PROGRAMUNDERTEST_H
#define TESTS_E2E_PROGRAMUNDERTEST_H

#include <gtest/gtest.h>

#include <QImage>
#include <QPoint>
#include <QRect>
#include <chrono>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "tests/e2e/ChildProcess.h"
#include "tests/support/XcrBuilder.h"

namespace xcr::e2e {

// What a check of a screenshot finds wrong with it; nothing when it shows what it should.
using Faults = std::vector<std::string>;
using ClientCheck = std::function<Faults(const QImage& client)>;

// One run of the built program in a fresh temporary folder of its own (its TMPDIR, so
// its staging folder is private), with a copy of the demo archive beside it. Helpers
// drive the program through its window as a user would; every wait has a deadline and
// throws std::runtime_error when it passes. The program and anything it started are
// killed when the object goes.
class ProgramUnderTest {
public:
    // `environment` adds to (or overrides) what the program is started with.
    explicit ProgramUnderTest(std::map<std::string, std::string> environment = {});

    std::string file(const std::string& name) const { return folder_.file(name); }
    // The copy of the demo archive, free to be changed.
    std::string archivePath() const { return file("demo.xcr"); }
    // The program's staging folder, which it makes inside its temporary folder.
    std::string stagingFolder() const;

    const std::string& mainWindow() const { return mainWindow_; }
    std::string title() const;
    pid_t pid() const { return program_->pid(); }
    bool running() { return program_->running(); }

    // The client area (below the menu bar) on the screen.
    QRect clientRect() const;
    QPoint toScreen(QPoint client) const { return clientRect().topLeft() + client; }
    void clickClient(QPoint client, int button = 1);
    // Parks the pointer off the window, so no hint or hover look is in a screenshot.
    void parkMouse();

    // File menu items: 0 Open XCR, 1 Save XCR, 2 Replace from folder, 3 Replacements…,
    // 4 Apply mod patch…, 5 Export replacements as mod patch…, 6 Undo last save, 7 Exit.
    static constexpr int kFileMenuItems = 8;
    void chooseFileMenuItem(int item);
    void chooseAbout();
    // Waits for a dialog of this title to have the keyboard, types `text` into its
    // focused edit box and confirms with Return; returns once the dialog has gone.
    void answerDialog(const std::string& titlePattern, const std::string& text);
    // Opens an archive through the Open XCR dialog, typing `typed`, and waits for the
    // window title to name `fileName`: the list is filled by then.
    void openArchive(const std::string& typed, const std::string& fileName = "demo.xcr");
    // Clicks list item `row` (item height 13).
    void clickEntry(int row);
    void clickButton(int button);  // 1 to 9, left to right

    // A visible window of the program whose name matches, once there.
    std::string waitForWindow(const std::string& namePattern, std::chrono::milliseconds timeout);
    // The client area as it is on screen now.
    QImage clientShot() const;
    // Parks the pointer, then takes screenshots of the client area until `check` finds no
    // fault in one. A failure names the faults of the last shot, which is kept for the
    // report.
    ::testing::AssertionResult settlesOn(
        const ClientCheck& check, std::chrono::milliseconds timeout = std::chrono::seconds(5));
    // The main window as on screen with the window manager's frame and its shadow, found
    // by where the plain desktop colour (that of the screen's top-left corner) begins.
    QImage windowShot() const;

private:
    void waitForKeyboard(const std::string& window);
    void keepShot(const QImage& shot);
    // Keeps the whole screen for the report and throws `what`.
    [[noreturn]] void fail(const std::string& what);

    // Declared first, removed last: the program ends before its folder goes.
    test::TempDir folder_;
    std::unique_ptr<ChildProcess> program_;
    std::string mainWindow_;
    int menuHeight_ = 0;
    std::string lastShot_;
};

}  // namespace xcr::e2e

#endif  // TESTS_E2E_PROGRAMUNDERTEST_H
