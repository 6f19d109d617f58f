#include "platform/DropShadow.h"

#include <gtest/gtest.h>

#include <QPalette>
#include <QScreen>
#include <QTest>
#include <QWidget>
#include <functional>
#include <memory>
#include <vector>

#include "platform/FrameTracker.h"
#include "platform/HalfTone.h"
#include "platform/ScreenGrabber.h"
#include "platform/ShadowGeometry.h"
#include "platform/ShadowStrip.h"

namespace xcr {
namespace {

using Rects = std::vector<QRect>;
constexpr QRgb kDark = 0xff404040;

// A different colour nearly everywhere, so a picture from the wrong place shows.
QImage screenContent(const QRect& area) {
    QImage image(area.size(), QImage::Format_RGB32);
    for (int y = 0; y < area.height(); ++y) {
        for (int x = 0; x < area.width(); ++x) {
            const int gx = area.x() + x;
            const int gy = area.y() + y;
            image.setPixel(x, y, qRgb(gx % 251, gy % 241, (gx * 7 + gy * 3) % 256));
        }
    }
    return image;
}

std::vector<ShadowStrip*> visibleStrips(const QWidget& window) {
    std::vector<ShadowStrip*> shown;
    for (ShadowStrip* strip : window.findChildren<ShadowStrip*>()) {
        if (strip->isVisible()) {
            shown.push_back(strip);
        }
    }
    return shown;
}

// The desktop as the fakes below show it to a shadow, and what the shadow asked of it.
struct FakeDesktop {
    bool capable = true;
    bool grabFails = false;
    QRect frame;  // empty: the window manager's frame is not known
    std::function<void()> frameMoved;
    bool buttonHeld = false;
    Rects grabbed;
    bool grabbedWhileShown = false;
    const QWidget* window = nullptr;
};

class FakeGrabber : public ScreenGrabber {
public:
    explicit FakeGrabber(FakeDesktop& desktop) : d_(desktop) {}
    bool capable() const override { return d_.capable; }
    QImage grab(const QRect& area) override {
        d_.grabbed.push_back(area);
        d_.grabbedWhileShown |= !visibleStrips(*d_.window).empty();
        return d_.grabFails ? QImage() : screenContent(area);
    }

private:
    FakeDesktop& d_;
};

class FakeFrames : public FrameTracker {
public:
    explicit FakeFrames(FakeDesktop& desktop) : d_(desktop) {}
    void follow(const QWindow&, std::function<void()> moved) override { d_.frameMoved = moved; }
    QRect frameGeometry() const override { return d_.frame; }
    bool pointerButtonHeld() const override { return d_.buttonHeld; }

private:
    FakeDesktop& d_;
};

class DropShadowTest : public testing::Test {
protected:
    void SetUp() override {
        desktop.window = &window;
        QPalette palette = window.palette();
        palette.setColor(QPalette::Dark, QColor::fromRgb(kDark));
        window.setPalette(palette);
        // Both strips start at an odd screen position: a half-tone laid from the strip's
        // own corner instead of the screen's would come out inverted.
        window.setGeometry(100, 77, 300, 200);
    }

    void attach() {
        new DropShadow(window, std::make_unique<FakeGrabber>(desktop),
                       std::make_unique<FakeFrames>(desktop));
    }

    bool waitForStrips(std::size_t count = 2) {
        return QTest::qWaitFor([&] { return visibleStrips(window).size() == count; });
    }

    ShadowGeometry expected() const {
        const QRect frame = desktop.frame.isEmpty() ? window.frameGeometry() : desktop.frame;
        return ShadowGeometry::forFrame(frame).clippedTo(window.screen()->virtualGeometry());
    }

    // The strips stand where the frame says, show the half-tone of what lay there, were
    // grabbed before either showed, and only once.
    void expectShadowInPlace() {
        const ShadowGeometry strips = expected();
        Rects shownAt;
        for (const ShadowStrip* strip : visibleStrips(window)) {
            shownAt.push_back(strip->geometry());
            // A strip shown iconic would make the window manager iconify its owner too.
            EXPECT_EQ(strip->windowState(), Qt::WindowNoState);
            EXPECT_EQ(strip->image(),
                      halfTone(screenContent(strip->geometry()), strip->pos(), kDark));
        }
        EXPECT_EQ(shownAt, (Rects{strips.right, strips.bottom}));
        EXPECT_EQ(desktop.grabbed, (Rects{strips.right, strips.bottom}));
        EXPECT_FALSE(desktop.grabbedWhileShown);
        desktop.grabbed.clear();
    }

    FakeDesktop desktop;
    QWidget window;
};

TEST_F(DropShadowTest, ShowsWithTheWindowAndHidesWhileItIsMinimisedOrHidden) {
    attach();
    window.show();
    ASSERT_TRUE(waitForStrips());
    expectShadowInPlace();

    window.showMinimized();
    QCoreApplication::processEvents();
    EXPECT_TRUE(visibleStrips(window).empty());
    // The window manager iconifies the owner's transient windows along with it.
    for (ShadowStrip* strip : window.findChildren<ShadowStrip*>()) {
        strip->setWindowState(Qt::WindowMinimized);
    }
    window.showNormal();
    ASSERT_TRUE(waitForStrips());
    expectShadowInPlace();

    window.hide();
    EXPECT_TRUE(visibleStrips(window).empty());
    window.show();
    ASSERT_TRUE(waitForStrips());
    expectShadowInPlace();
}

TEST_F(DropShadowTest, HidesWhileMovingAndReturnsAtTheNewPlace) {
    attach();
    window.show();
    ASSERT_TRUE(waitForStrips());
    expectShadowInPlace();

    window.move(150, 120);
    window.move(163, 131);
    QCoreApplication::processEvents();
    EXPECT_TRUE(visibleStrips(window).empty());
    ASSERT_TRUE(waitForStrips());
    expectShadowInPlace();  // grabbed once at rest, not at the place between

    // A title-bar drag: the manager moves its frame and the window is not told.
    ASSERT_TRUE(desktop.frameMoved);
    desktop.frame = QRect(251, 160, 302, 222);
    desktop.frameMoved();
    EXPECT_TRUE(visibleStrips(window).empty());
    ASSERT_TRUE(waitForStrips());
    expectShadowInPlace();
    EXPECT_EQ(visibleStrips(window)[0]->geometry(), QRect(553, 166, 6, 216));

    // A drag that stands still with the button held keeps the shadow away until the
    // button is let go.
    desktop.buttonHeld = true;
    desktop.frame = QRect(201, 100, 302, 222);
    desktop.frameMoved();
    QTest::qWait(500);
    EXPECT_TRUE(visibleStrips(window).empty());
    EXPECT_TRUE(desktop.grabbed.empty());
    desktop.buttonHeld = false;
    ASSERT_TRUE(waitForStrips());
    expectShadowInPlace();
}

TEST_F(DropShadowTest, LeavesOutWhatCannotBeCast) {
    // Flush with the desktop's right edge: no room for the right strip, nothing grabbed there.
    const QRect screen = window.screen()->virtualGeometry();
    window.move(screen.right() + 1 - window.frameGeometry().width(), 40);
    attach();
    window.show();
    ASSERT_TRUE(waitForStrips(1));
    EXPECT_EQ(visibleStrips(window)[0]->geometry(), expected().bottom);
    EXPECT_EQ(desktop.grabbed, (Rects{expected().bottom}));

    // A grab that fails leaves its strip out.
    desktop.grabFails = true;
    window.move(100, 77);
    ASSERT_TRUE(QTest::qWaitFor([&] { return desktop.grabbed.size() == 3; }));
    EXPECT_TRUE(visibleStrips(window).empty());
}

TEST_F(DropShadowTest, AbsentWhereTheDesktopCannotReadItsPixels) {
    desktop.capable = false;
    attach();
    window.show();
    window.move(130, 90);
    QTest::qWait(300);
    EXPECT_TRUE(window.findChildren<ShadowStrip*>().empty());
    EXPECT_TRUE(desktop.grabbed.empty());
}

}  // namespace
}  // namespace xcr
