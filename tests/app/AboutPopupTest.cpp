#include "app/about/AboutPopup.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "app/about/AboutLink.h"
#include "tests/app/AboutPopupFixture.h"

namespace xcr {
namespace {

struct Step {
    std::uint32_t tick;
    int top;
    bool operator==(const Step&) const = default;
};

std::ostream& operator<<(std::ostream& out, const Step& step) {
    return out << "{" << step.tick << ", " << step.top << "}";
}

class AboutPopupTest : public test::AboutPopupFixture {
protected:
    AboutPopupTest() : AboutPopupFixture(1000, {}) {
        pump.onPump = [this](std::uint32_t tick) {
            if (popup.window() != nullptr &&
                (steps.empty() || steps.back().top != popup.window()->y())) {
                steps.push_back({tick, popup.window()->y()});
            }
            if (hook) {
                hook(tick);
            }
        };
    }

    // The tops the popup stood at, each with the tick it got there: every 50 ms, 20 pixels
    // up, from the bottom line of the screen to its final place.
    std::vector<Step> expectedRise(std::uint32_t start, int bottomLine) const {
        std::vector<Step> rise;
        for (int step = 0; step < 12; ++step) {
            rise.push_back({start + 50u * step, bottomLine - 20 * step});
        }
        return rise;
    }

    std::function<void(std::uint32_t)> hook;
    std::vector<Step> steps;
};

TEST_F(AboutPopupTest, RisesTwelveStepsFromTheBottomRight) {
    EXPECT_EQ(popup.window(), nullptr);
    popup.rollUp();
    EXPECT_EQ(steps, expectedRise(1000, 738));
    EXPECT_EQ(clock.now, 1600u);
    ASSERT_NE(popup.window(), nullptr);
    EXPECT_EQ(popup.window()->pos(), QPoint(1024 - 220, 738 - 224));
    EXPECT_EQ(popup.position(), popup.window()->pos());
    EXPECT_TRUE(popup.window()->isVisible());
}

TEST_F(AboutPopupTest, ScreenShorterThanThePopupEndsWithTheBottomOnTheLine) {
    screen.area.setSize(QSize(300, 100));
    popup.rollUp();
    EXPECT_EQ(steps, expectedRise(1000, 100));
    EXPECT_EQ(popup.window()->pos(), QPoint(80, 100 - 224));
}

TEST_F(AboutPopupTest, PrimaryScreenRightOfAnotherPlacesThePopupOnIt) {
    screen.area = QRect(QPoint(1280, 40), QSize(1024, 738));
    popup.rollUp();
    EXPECT_EQ(steps, expectedRise(1000, 40 + 738));
    EXPECT_EQ(popup.window()->pos(), QPoint(1280 + 1024 - 220, 40 + 738 - 224));
}

TEST_F(AboutPopupTest, PaceHoldsWhenTheTickCountWraps) {
    clock.now = 0xFFFFFFFFu - 120;
    popup.rollUp();
    ASSERT_EQ(steps.size(), 12u);
    for (std::size_t i = 1; i < steps.size(); ++i) {
        EXPECT_EQ(steps[i].tick - steps[i - 1].tick, 50u) << i;
    }
    EXPECT_EQ(popup.window()->y(), 738 - 224);
}

TEST_F(AboutPopupTest, ScreenReadAfreshWhileRising) {
    hook = [this](std::uint32_t tick) {
        if (tick == 1200) {
            screen.area.setSize(QSize(1024, 600));
        }
    };
    popup.rollUp();
    // The same pace on to the new bottom line: 18 full steps, then the last 2 pixels.
    EXPECT_EQ(steps.size(), 19u);
    EXPECT_EQ(steps.back(), (Step{1900, 738 - 18 * 20}));
    EXPECT_EQ(popup.window()->y(), 600 - 224);
}

TEST_F(AboutPopupTest, AboutAgainRisesAgainFromTheBottomInTheSameWindow) {
    popup.rollUp();
    const AboutWindow* first = popup.window();
    steps.clear();
    popup.rollUp();
    EXPECT_EQ(popup.window(), first);
    EXPECT_EQ(steps, expectedRise(1600, 738));
    EXPECT_EQ(popup.window()->y(), 738 - 224);
}

TEST_F(AboutPopupTest, AboutDuringARollUpRestartsItAndTheOuterOneReturnsAtOnce) {
    bool innerStarted = false;
    bool innerDone = false;
    int pumpsAfterInner = 0;
    hook = [&](std::uint32_t tick) {
        if (innerDone) {
            ++pumpsAfterInner;
        } else if (tick == 1120 && !innerStarted) {
            innerStarted = true;
            popup.rollUp();
            innerDone = true;
        }
    };
    popup.rollUp();
    std::vector<Step> expected = expectedRise(1000, 738);
    expected.resize(3);
    const std::vector<Step> inner = expectedRise(1120, 738);
    expected.insert(expected.end(), inner.begin(), inner.end());
    EXPECT_EQ(steps, expected);
    EXPECT_EQ(pumpsAfterInner, 0);
    EXPECT_EQ(popup.window()->y(), 738 - 224);
    EXPECT_TRUE(popup.window()->isVisible());
}

TEST_F(AboutPopupTest, CloseDuringARollUpHidesItWhileItGoesOnRising) {
    hook = [this](std::uint32_t tick) {
        if (tick == 1200) {
            followAboutLink("close", shell, popup);
            EXPECT_FALSE(popup.window()->isVisible());
        }
    };
    popup.rollUp();
    EXPECT_EQ(steps, expectedRise(1000, 738));
    EXPECT_FALSE(popup.window()->isVisible());
    EXPECT_EQ(popup.window()->y(), 738 - 224);

    hook = nullptr;
    popup.rollUp();
    EXPECT_TRUE(popup.window()->isVisible());
}

TEST_F(AboutPopupTest, WindowIsAnOwnedBorderlessToolThatTakesNoFocus) {
    popup.rollUp();
    AboutWindow* window = popup.window();
    EXPECT_EQ(window->size(), QSize(200, 224));
    EXPECT_EQ(window->parentWidget(), owner.get());
    EXPECT_TRUE(window->isWindow());
    const Qt::WindowFlags flags = window->windowFlags();
    EXPECT_EQ(flags & Qt::WindowType_Mask, Qt::Tool);
    EXPECT_TRUE(flags.testFlag(Qt::FramelessWindowHint));
    EXPECT_TRUE(flags.testFlag(Qt::WindowDoesNotAcceptFocus));
    EXPECT_TRUE(window->testAttribute(Qt::WA_ShowWithoutActivating));

    const QPointer<AboutWindow> watch(window);
    owner.reset();
    EXPECT_TRUE(watch.isNull());
}

}  // namespace
}  // namespace xcr
