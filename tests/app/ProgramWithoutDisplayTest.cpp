#include <gtest/gtest.h>

#include "app/WindowTitle.h"
#include "tests/support/ToolProcess.h"
#include "tests/support/XcrBuilder.h"

namespace xcr {
namespace {

// The program started with no display and no platform chosen, plus `settings`
// (NAME=VALUE) in its environment.
test::ToolProcess::Result runWithout(const std::vector<std::string>& settings,
                                     const std::vector<std::string>& arguments,
                                     const std::string& folder) {
    std::vector<std::string> argv = {"/usr/bin/env",    "-u", "DISPLAY",        "-u",
                                     "WAYLAND_DISPLAY", "-u", "QT_QPA_PLATFORM"};
    argv.insert(argv.end(), settings.begin(), settings.end());
    argv.push_back(XCR_PELLORAN);
    argv.insert(argv.end(), arguments.begin(), arguments.end());
    return test::ToolProcess(argv, folder).finish();
}

// No X server listens on display 4711. Qt would abort; the program says why in one line,
// whatever it was asked, except for the version, which needs no display.
TEST(ProgramWithoutDisplayTest, SaysSoInOneLineOrAnswersWithoutOne) {
    test::TempDir dir;
    const std::string version = std::string(kApplicationTitle) + " " + XCR_VERSION + "\n";
    const auto refusal = [](const std::string& tried) {
        return "pelloran: cannot reach a display (" + tried + "); the window needs one\n";
    };
    struct Case {
        std::vector<std::string> settings, arguments;
        std::string out, err;
        int status;
    };
    const std::vector<Case> cases = {
        {{}, {}, "", refusal("DISPLAY is not set"), 1},
        {{"DISPLAY=:4711"}, {"a.xcr"}, "", refusal("DISPLAY is :4711"), 1},
        {{}, {"--no-such-option", "a.xcr", "b.xcr"}, "", refusal("DISPLAY is not set"), 1},
        {{"DISPLAY=:4711", "QT_QPA_PLATFORM=xcb"},
         {"-display", ":4712"},
         "",
         refusal("-display is :4712"),
         1},
        {{"DISPLAY=:4711"}, {"-V"}, version, "", 0},
        {{}, {"-v"}, version, "", 0},
    };
    for (const Case& c : cases) {
        const auto result = runWithout(c.settings, c.arguments, dir.path());
        EXPECT_EQ(result.out, c.out) << c.arguments.size();
        EXPECT_EQ(result.err, c.err) << c.arguments.size();
        EXPECT_EQ(result.status, c.status) << c.arguments.size();
    }
}

}  // namespace
}  // namespace xcr
