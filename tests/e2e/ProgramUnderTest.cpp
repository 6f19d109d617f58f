#include "tests/e2e/ProgramUnderTest.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <stdexcept>

#include "tests/e2e/Deadline.h"
#include "tests/e2e/Desktop.h"
#include "tests/e2e/Layout.h"

namespace xcr::e2e {

namespace {

constexpr auto kStartTimeout = 15000ms;
constexpr auto kWindowTimeout = 8000ms;

// The main window's name: the program's title, alone or with the archive's name.
const char* const kMainWindowPattern = "^Pelloran Plus 3( - .*)?$";

}  // namespace

ProgramUnderTest::ProgramUnderTest(std::map<std::string, std::string> environment) {
    std::filesystem::copy_file(XCR_E2E_DEMO_ARCHIVE, archivePath());
    // The folders the program remembers go to a settings folder of this run (apart from
    // its temporary folder, where the staging folder is looked for), its edited entries
    // to a cache folder of its own.
    environment.insert({{"TMPDIR", file("")},
                        {"XDG_RUNTIME_DIR", file("")},
                        {"XDG_CONFIG_HOME", file("config")},
                        {"XDG_CACHE_HOME", file("cache")},
                        {"SDL_AUDIODRIVER", "dummy"}});
    program_ = std::make_unique<ChildProcess>(std::vector<std::string>{XCR_E2E_PROGRAM},
                                              environment, file("program.log"));

    // The main window is the program's one window of the client width.
    const bool shown = pollUntil(kStartTimeout, [this] {
        for (const auto& window : Desktop::windows(pid(), kMainWindowPattern)) {
            const auto place = Desktop::geometry(window);
            if (place && place->width() == Layout::kClient.width() &&
                place->height() > Layout::kClient.height()) {
                mainWindow_ = window;
                menuHeight_ = place->height() - Layout::kClient.height();
                return true;
            }
        }
        return false;
    });
    if (!shown) {
        throw std::runtime_error("the main window did not appear");
    }
    waitForKeyboard(mainWindow_);
}

std::string ProgramUnderTest::stagingFolder() const {
    // "pelloran" and six characters of its own; the drag folder, "pelloran-drag-…", lies
    // there too.
    for (const auto& item : std::filesystem::directory_iterator(file(""))) {
        const std::string name = item.path().filename().string();
        if (item.is_directory() && name.rfind("pelloran", 0) == 0 && name.size() == 14) {
            return item.path().string();
        }
    }
    throw std::runtime_error("the program made no staging folder");
}

std::string ProgramUnderTest::title() const {
    return Desktop::name(mainWindow_);
}

QRect ProgramUnderTest::clientRect() const {
    const auto place = Desktop::geometry(mainWindow_);
    if (!place) {
        throw std::runtime_error("the main window is not shown");
    }
    return {QPoint(place->x(), place->y() + menuHeight_), Layout::kClient};
}

void ProgramUnderTest::clickClient(QPoint client, int button) {
    Desktop::click(toScreen(client), button);
}

void ProgramUnderTest::parkMouse() {
    Desktop::moveMouse({2, 2});
}

void ProgramUnderTest::chooseFileMenuItem(int item) {
    waitForKeyboard(mainWindow_);
    const QRect client = clientRect();
    // The drop-down is a small window of the program hanging from the menu bar.
    QRect menu;
    const auto dropped = [&] {
        for (const auto& window : Desktop::windows(pid(), ".*")) {
            const auto place = Desktop::geometry(window);
            if (window != mainWindow_ && place && place->height() < 200 && place->height() > 40 &&
                place->width() > 60 && std::abs(place->top() - client.top()) <= 4) {
                menu = *place;
                return true;
            }
        }
        return false;
    };
    // A press that comes while the window is still taking the focus back from a closing
    // dialog can be dropped by the toolkit; a user would simply click again.
    bool open = false;
    for (int attempt = 0; attempt < 2 && !open; ++attempt) {
        Desktop::click(client.topLeft() + QPoint(16, -menuHeight_ / 2));
        open = pollUntil(attempt == 0 ? 1500ms : kWindowTimeout, dropped);
    }
    if (!open) {
        fail("the File menu did not drop down");
    }
    const int itemHeight = menu.height() / kFileMenuItems;
    Desktop::click(
        {menu.left() + menu.width() / 2, menu.top() + itemHeight * item + itemHeight / 2});
}

void ProgramUnderTest::chooseAbout() {
    waitForKeyboard(mainWindow_);
    Desktop::click(clientRect().topLeft() + QPoint(60, -menuHeight_ / 2));
}

std::string ProgramUnderTest::waitForWindow(const std::string& namePattern,
                                            std::chrono::milliseconds timeout) {
    std::string found;
    pollUntil(timeout, [&] {
        const auto windows = Desktop::windows(program_->pid(), namePattern);
        if (windows.empty()) {
            return false;
        }
        found = windows.front();
        return true;
    });
    if (found.empty()) {
        fail("no window named like " + namePattern + " appeared");
    }
    return found;
}

void ProgramUnderTest::waitForKeyboard(const std::string& window) {
    const auto hasKeyboard = [&] {
        return Desktop::activeWindow() == window && Desktop::focusedWindow() == window;
    };
    if (pollUntil(2000ms, hasKeyboard)) {
        return;
    }
    Desktop::activate(window);
    if (!pollUntil(kWindowTimeout, hasKeyboard)) {
        fail("window " + window + " did not get the keyboard");
    }
}

void ProgramUnderTest::answerDialog(const std::string& titlePattern, const std::string& text) {
    const std::string dialog = waitForWindow(titlePattern, kWindowTimeout);
    waitForKeyboard(dialog);
    Desktop::type(text);
    const auto gone = [&] { return !Desktop::geometry(dialog).has_value(); };
    Desktop::key("Return");
    if (pollUntil(1500ms, gone)) {
        return;
    }
    // The edit box's completion list may take the first Return for itself.
    Desktop::key("Return");
    if (!pollUntil(kWindowTimeout, gone)) {
        fail("the dialog " + titlePattern + " did not close");
    }
}

void ProgramUnderTest::openArchive(const std::string& typed, const std::string& fileName) {
    chooseFileMenuItem(0);
    answerDialog("^Open$", typed);
    // Input sent before the command has ended could reach a list that is not filled yet.
    if (!pollUntil(kWindowTimeout, [&] { return title() == "Pelloran Plus 3 - " + fileName; })) {
        fail("the title did not name " + fileName + " after opening it: " + title());
    }
}

void ProgramUnderTest::clickEntry(int row) {
    clickClient(Layout::listRow(row).center());
}

void ProgramUnderTest::clickButton(int button) {
    clickClient(Layout::button(button).center());
}

QImage ProgramUnderTest::windowShot() const {
    const QImage screen = Desktop::screenshot();
    const QRgb desktop = screen.pixel(0, 0);
    const auto place = Desktop::geometry(mainWindow_);
    if (!place) {
        throw std::runtime_error("the main window is not shown");
    }
    // From a point of the window, steps outward while the desktop does not show, and
    // past a few desktop pixels in a row, so the half-tone shadow is taken in whole.
    const auto reach = [&](QPoint from, QPoint step) {
        QPoint at = from;
        for (int plain = 0; screen.rect().contains(at + step) && plain < 4;) {
            at += step;
            plain = screen.pixel(at) == desktop ? plain + 1 : 0;
        }
        return at - step * 3;
    };
    const QPoint middle = place->center();
    const int left = reach(middle, {-1, 0}).x();
    const int right = reach({place->right(), place->bottom() - 8}, {1, 0}).x();
    const int top = reach(middle, {0, -1}).y();
    const int bottom = reach({place->right() - 8, place->bottom()}, {0, 1}).y();
    // A little of the desktop around it, as a border.
    const QRect framed = QRect(QPoint(left, top), QPoint(right, bottom)).adjusted(-8, -8, 8, 8);
    return screen.copy(framed & screen.rect());
}

void ProgramUnderTest::fail(const std::string& what) {
    keepShot(Desktop::screenshot());
    throw std::runtime_error(what + "; screen: " + lastShot_);
}

QImage ProgramUnderTest::clientShot() const {
    return Desktop::screenshot().copy(clientRect());
}

::testing::AssertionResult ProgramUnderTest::settlesOn(const ClientCheck& check,
                                                       std::chrono::milliseconds timeout) {
    parkMouse();
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (true) {
        const QImage shot = clientShot();
        const Faults faults = check(shot);
        if (faults.empty()) {
            return ::testing::AssertionSuccess();
        }
        if (std::chrono::steady_clock::now() >= deadline) {
            keepShot(shot);
            return ::testing::AssertionFailure()
                   << ::testing::PrintToString(faults) << "; screen: " << lastShot_;
        }
    }
}

void ProgramUnderTest::keepShot(const QImage& shot) {
    const auto* test = ::testing::UnitTest::GetInstance()->current_test_info();
    std::filesystem::create_directories(XCR_E2E_SHOTS);
    lastShot_ =
        std::string(XCR_E2E_SHOTS) + "/" + test->test_suite_name() + "." + test->name() + ".png";
    shot.save(QString::fromStdString(lastShot_));
}

}  // namespace xcr::e2e
