// The half-tone drop shadow on a real desktop: along the frame's right and bottom edges,
// following a drag of the window by its title bar, gone while the window is minimised.
#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <vector>

#include "tests/e2e/Deadline.h"
#include "tests/e2e/Desktop.h"
#include "tests/e2e/EndToEndTest.h"
#include "tests/e2e/ProgramUnderTest.h"

namespace xcr::e2e {
namespace {

using DropShadow = EndToEndTest;

constexpr int kDepth = 6;

// The desktop's colour with some bits cleared, as an AND with a darker colour leaves it.
bool darkenedFrom(QRgb pixel, QRgb desktop) {
    return pixel != desktop && (pixel & desktop) == pixel;
}

struct Strips {
    QRect right;
    QRect bottom;
};

Strips stripsOf(const QRect& frame) {
    return {QRect(frame.right() + 1, frame.top() + kDepth, kDepth, frame.height() - kDepth),
            QRect(frame.left() + kDepth, frame.bottom() + 1, frame.width(), kDepth)};
}

std::string at(int x, int y) {
    return "(" + std::to_string(x) + ", " + std::to_string(y) + ")";
}

// Every way in which the screen departs from a half-tone shadow of `frame` on the plain
// desktop: inside the strips, pixels of one parity of x + y are the desktop darkened and
// the others the desktop itself; just past the strips and above the right one, desktop.
std::vector<std::string> shadowFaults(const QImage& screen, const QRect& frame) {
    const QRgb desktop = screen.pixel(0, 0);
    const Strips strips = stripsOf(frame);
    std::vector<std::string> faults;
    const auto darkParity = [&] {
        const QPoint first = strips.right.topLeft();
        const bool dark = darkenedFrom(screen.pixel(first), desktop);
        return (first.x() + first.y() + (dark ? 0 : 1)) % 2;
    }();
    for (const QRect& strip : {strips.right, strips.bottom}) {
        for (int y = strip.top(); y <= strip.bottom() && faults.size() < 5; ++y) {
            for (int x = strip.left(); x <= strip.right() && faults.size() < 5; ++x) {
                const bool shouldBeDark = (x + y) % 2 == darkParity;
                const QRgb pixel = screen.pixel(x, y);
                if (shouldBeDark ? !darkenedFrom(pixel, desktop) : pixel != desktop) {
                    faults.push_back((shouldBeDark ? "not darkened at " : "not the desktop at ") +
                                     at(x, y));
                }
            }
        }
    }
    const QRect outside[] = {
        QRect(strips.right.left(), frame.top(), kDepth, kDepth),
        QRect(strips.right.right() + 1, frame.top(), 2, frame.height() + kDepth + 2),
        QRect(frame.left(), strips.bottom.bottom() + 1, frame.width() + kDepth, 2),
        QRect(frame.left(), strips.bottom.top(), kDepth, kDepth),
    };
    for (const QRect& area : outside) {
        for (int y = area.top(); y <= area.bottom(); ++y) {
            for (int x = area.left(); x <= area.right(); ++x) {
                if (screen.pixel(x, y) != desktop) {
                    faults.push_back("shadow past its strips at " + at(x, y));
                    return faults;
                }
            }
        }
    }
    return faults;
}

// True when neither strip of `frame` shows anything but the desktop.
bool noShadow(const QImage& screen, const QRect& frame) {
    const QRgb desktop = screen.pixel(0, 0);
    const Strips strips = stripsOf(frame);
    for (const QRect& strip : {strips.right, strips.bottom}) {
        for (int y = strip.top(); y <= strip.bottom(); ++y) {
            for (int x = strip.left(); x <= strip.right(); ++x) {
                if (screen.pixel(x, y) != desktop) {
                    return false;
                }
            }
        }
    }
    return true;
}

QRect frameOf(const ProgramUnderTest& program) {
    const auto frame = Desktop::frameGeometry(program.mainWindow());
    if (!frame) {
        throw std::runtime_error("the main window is not shown");
    }
    return *frame;
}

// Waits until the shadow of the window's current frame shows whole; the faults of the
// last look otherwise.
std::vector<std::string> waitForShadow(const ProgramUnderTest& program) {
    std::vector<std::string> faults;
    pollUntil(5000ms, [&] {
        faults = shadowFaults(Desktop::screenshot(), frameOf(program));
        return faults.empty();
    });
    return faults;
}

TEST_F(DropShadow, HalfToneAlongTheRightAndBottomEdges) {
    ProgramUnderTest program;
    program.parkMouse();
    const auto faults = waitForShadow(program);
    EXPECT_TRUE(faults.empty()) << ::testing::PrintToString(faults);
}

TEST_F(DropShadow, HidesWhileTheWindowIsDraggedAndFollowsItToTheNewPlace) {
    ProgramUnderTest program;
    ASSERT_TRUE(waitForShadow(program).empty());
    const QRect before = frameOf(program);
    const QPoint titleBar(before.center().x(), before.top() + 10);

    Desktop::moveMouse(titleBar);
    Desktop::press();
    for (int step = 1; step <= 5; ++step) {
        Desktop::moveMouse(titleBar - QPoint(20, 16) * step);
    }
    QRect during;
    const bool hiddenWhileHeld = pollUntil(5000ms, [&] {
        during = frameOf(program);
        const QImage screen = Desktop::screenshot();
        return during != before && noShadow(screen, during) && noShadow(screen, before);
    });
    // Held still with the button down, the drag is not over yet.
    std::this_thread::sleep_for(600ms);
    const bool stillHidden = noShadow(Desktop::screenshot(), frameOf(program));
    Desktop::release();
    EXPECT_TRUE(hiddenWhileHeld) << "a shadow showed while the window was dragged";
    EXPECT_TRUE(stillHidden) << "the shadow came back before the button was let go";

    const auto faults = waitForShadow(program);
    EXPECT_TRUE(faults.empty()) << ::testing::PrintToString(faults);
    const QRect after = frameOf(program);
    EXPECT_EQ(after.topLeft(), before.topLeft() - QPoint(100, 80));
    // Where the shadow was, the desktop shows again.
    EXPECT_TRUE(noShadow(Desktop::screenshot(), before));
}

TEST_F(DropShadow, GoesWhileMinimisedAndComesBackOnRestore) {
    ProgramUnderTest program;
    ASSERT_TRUE(waitForShadow(program).empty());
    const QRect frame = frameOf(program);

    Desktop::minimise(program.mainWindow());
    EXPECT_TRUE(pollUntil(5000ms, [&] { return noShadow(Desktop::screenshot(), frame); }))
        << "the shadow stayed while the window was minimised";

    Desktop::activate(program.mainWindow());
    const auto faults = waitForShadow(program);
    EXPECT_TRUE(faults.empty()) << ::testing::PrintToString(faults);
}

}  // namespace
}  // namespace xcr::e2e
