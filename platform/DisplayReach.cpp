#include "platform/DisplayReach.h"

#include <xcb/xcb.h>

#include <cstdlib>
#include <string_view>

namespace xcr {

namespace {

// The value after one of Qt's own options, which it takes with one dash or two.
const char* qtOptionValue(int argc, char** argv, std::string_view name) {
    for (int i = 1; i + 1 < argc; ++i) {
        std::string_view argument = argv[i];
        if (argument.starts_with("--")) {
            argument.remove_prefix(1);
        }
        if (argument == name) {
            return argv[i + 1];
        }
    }
    return nullptr;
}

const char* setVariable(const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr && *value != '\0' ? value : nullptr;
}

bool answers(const char* display) {
    xcb_connection_t* connection = xcb_connect(display, nullptr);
    const bool reached = xcb_connection_has_error(connection) == 0;
    xcb_disconnect(connection);
    return reached;
}

}  // namespace

std::optional<std::string> unreachableDisplay(int argc, char** argv) {
    const char* platform = qtOptionValue(argc, argv, "-platform");
    if (platform == nullptr) {
        platform = setVariable("QT_QPA_PLATFORM");
    }
    if (platform != nullptr ? !std::string_view(platform).starts_with("xcb")
                            : setVariable("WAYLAND_DISPLAY") != nullptr) {
        return std::nullopt;
    }
    if (const char* given = qtOptionValue(argc, argv, "-display")) {
        return answers(given) ? std::nullopt
                              : std::optional<std::string>("-display is " + std::string(given));
    }
    const char* display = setVariable("DISPLAY");
    if (display == nullptr) {
        return "DISPLAY is not set";
    }
    return answers(display) ? std::nullopt
                            : std::optional<std::string>("DISPLAY is " + std::string(display));
}

}  // namespace xcr
