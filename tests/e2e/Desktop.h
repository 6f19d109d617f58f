#ifndef TESTS_E2E_DESKTOP_H
#define TESTS_E2E_DESKTOP_H

#include <sys/types.h>

#include <QImage>
#include <QPoint>
#include <QRect>
#include <optional>
#include <string>
#include <vector>

namespace xcr::e2e {

// The X server named by DISPLAY as a user meets it: windows found by name, real pointer
// and keyboard input, and what the screen shows. Every call is bounded in time; a tool
// that fails throws std::runtime_error with what it was asked to do.
class Desktop {
public:
    // Visible windows of process `pid` whose name matches the extended regular expression.
    static std::vector<std::string> windows(pid_t pid, const std::string& namePattern);
    // The window's place on the screen (without the frame the window manager adds), or
    // nothing when it is not shown.
    static std::optional<QRect> geometry(const std::string& window);
    // The window's place with the frame the window manager draws around it.
    static std::optional<QRect> frameGeometry(const std::string& window);
    static std::string name(const std::string& window);
    static std::string activeWindow();
    static std::string focusedWindow();
    // Asks the window manager to show the window (restoring it when minimised) and
    // give it the focus.
    static void activate(const std::string& window);
    static void minimise(const std::string& window);

    static void moveMouse(QPoint screen);
    static void click(QPoint screen, int button = 1);
    static void press(int button = 1);
    static void release(int button = 1);
    static void type(const std::string& text);
    static void key(const std::string& keyName);

    // The whole screen as the user sees it.
    static QImage screenshot();
};

}  // namespace xcr::e2e

#endif  // TESTS_E2E_DESKTOP_H
