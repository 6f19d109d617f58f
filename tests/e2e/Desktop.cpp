#include "tests/e2e/Desktop.h"

#include <sstream>
#include <stdexcept>

#include "tests/e2e/ChildProcess.h"

namespace xcr::e2e {

namespace {

using namespace std::chrono_literals;

std::string joined(const std::vector<std::string>& argv) {
    std::string text;
    for (const auto& part : argv) {
        text += (text.empty() ? "" : " ") + part;
    }
    return text;
}

// Runs a tool that must succeed.
std::string tool(const std::vector<std::string>& argv, std::chrono::milliseconds timeout = 5000ms) {
    const auto output = ChildProcess::run(argv, timeout);
    if (output.exitCode != 0) {
        throw std::runtime_error(joined(argv) + " failed (exit " + std::to_string(output.exitCode) +
                                 ")");
    }
    return output.text;
}

std::string trimmed(const std::string& text) {
    const auto end = text.find_last_not_of(" \n\r\t");
    return end == std::string::npos ? std::string() : text.substr(0, end + 1);
}

// A number from an xwininfo line such as "  Absolute upper-left X:  322".
std::optional<int> field(const std::string& report, const std::string& label) {
    const auto at = report.find(label);
    if (at == std::string::npos) {
        return std::nullopt;
    }
    return std::stoi(report.substr(at + label.size()));
}

}  // namespace

std::vector<std::string> Desktop::windows(pid_t pid, const std::string& namePattern) {
    // xdotool ends with 1 when nothing matches; that is an answer, not a failure.
    const auto output = ChildProcess::run({"xdotool", "search", "--all", "--onlyvisible", "--pid",
                                           std::to_string(pid), "--name", namePattern},
                                          5000ms);
    std::vector<std::string> found;
    std::istringstream lines(output.text);
    for (std::string line; std::getline(lines, line);) {
        if (!trimmed(line).empty()) {
            found.push_back(trimmed(line));
        }
    }
    return found;
}

std::optional<QRect> Desktop::geometry(const std::string& window) {
    const auto output = ChildProcess::run({"xwininfo", "-id", window}, 5000ms);
    if (output.exitCode != 0 || output.text.find("IsViewable") == std::string::npos) {
        return std::nullopt;
    }
    const auto x = field(output.text, "Absolute upper-left X:");
    const auto y = field(output.text, "Absolute upper-left Y:");
    const auto width = field(output.text, "Width:");
    const auto height = field(output.text, "Height:");
    if (!x || !y || !width || !height) {
        return std::nullopt;
    }
    return QRect(*x, *y, *width, *height);
}

std::optional<QRect> Desktop::frameGeometry(const std::string& window) {
    const auto client = geometry(window);
    if (!client) {
        return std::nullopt;
    }
    // "_NET_FRAME_EXTENTS(CARDINAL) = left, right, top, bottom"
    const std::string report = tool({"xprop", "-id", window, "_NET_FRAME_EXTENTS"});
    const auto equals = report.find('=');
    if (equals == std::string::npos) {
        return client;  // no frame
    }
    std::istringstream numbers(report.substr(equals + 1));
    int left = 0, right = 0, top = 0, bottom = 0;
    char comma = 0;
    numbers >> left >> comma >> right >> comma >> top >> comma >> bottom;
    return client->adjusted(-left, -top, right, bottom);
}

std::string Desktop::name(const std::string& window) {
    return trimmed(tool({"xdotool", "getwindowname", window}));
}

std::string Desktop::activeWindow() {
    return trimmed(ChildProcess::run({"xdotool", "getactivewindow"}, 5000ms).text);
}

std::string Desktop::focusedWindow() {
    return trimmed(ChildProcess::run({"xdotool", "getwindowfocus"}, 5000ms).text);
}

void Desktop::activate(const std::string& window) {
    ChildProcess::run({"xdotool", "windowactivate", window}, 5000ms);
}

void Desktop::minimise(const std::string& window) {
    tool({"xdotool", "windowminimize", window});
}

void Desktop::moveMouse(QPoint screen) {
    tool({"xdotool", "mousemove", std::to_string(screen.x()), std::to_string(screen.y())});
}

void Desktop::click(QPoint screen, int button) {
    tool({"xdotool", "mousemove", std::to_string(screen.x()), std::to_string(screen.y()), "click",
          std::to_string(button)});
}

void Desktop::press(int button) {
    tool({"xdotool", "mousedown", std::to_string(button)});
}

void Desktop::release(int button) {
    tool({"xdotool", "mouseup", std::to_string(button)});
}

void Desktop::type(const std::string& text) {
    tool({"xdotool", "type", "--delay", "8", "--", text}, 20000ms);
}

void Desktop::key(const std::string& keyName) {
    tool({"xdotool", "key", "--clearmodifiers", keyName});
}

QImage Desktop::screenshot() {
    const auto png = tool({"import", "-silent", "-window", "root", "png:-"}, 15000ms);
    QImage image = QImage::fromData(reinterpret_cast<const uchar*>(png.data()),
                                    static_cast<int>(png.size()), "PNG");
    if (image.isNull()) {
        throw std::runtime_error("the screenshot could not be read");
    }
    return image.convertToFormat(QImage::Format_RGB32);
}

}  // namespace xcr::e2e
