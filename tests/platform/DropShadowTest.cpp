#include "platform/DropShadow.h"

#include <gtest/gtest.h>

#include <QApplication>
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

constexpr QRgb kDark = 0xff404040;

// What the fake screen shows at a global position: a different colour nearly everywhere,
// so an image taken from the wrong place or half-toned from the wrong origin shows.
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

struct GrabLog {
    std::vector<QRect> areas;
    bool grabbedWhileShown = false;
    bool capable = true;
    bool fails = false;
    const QWidget* window = nullptr;
    // The frame as the window manager has it; empty while it follows nothing.
    QRect frame;
    std::function<void()> frameMoved;
};

std::vector<ShadowStrip*> visibleStrips(const QWidget& window) {
    std::vector<ShadowStrip*> shown;
    for (ShadowStrip* strip : window.findChildren<ShadowStrip*>()) {
        if (strip->isVisible()) {
            shown.push_back(strip);
        }
    }
    return shown;
}

class FakeGrabber : public ScreenGrabber {
public:
    explicit FakeGrabber(GrabLog& log) : log_(log) {}
    bool capable() const override { return log_.capable; }
    QImage grab(const QRect& area) override {
        log_.areas.push_back(area);
        if (log_.window != nullptr && !visibleStrips(*log_.window).empty()) {
            log_.grabbedWhileShown = true;
        }
        return log_.fails ? QImage() : screenContent(area);
    }

private:
    GrabLog& log_;
};

class FakeFrames : public FrameTracker {
public:
    explicit FakeFrames(GrabLog& log) : log_(log) {}
    void follow(const QWindow&, std::function<void()> moved) override {
        log_.frameMoved = std::move(moved);
    }
    QRect frameGeometry() const override { return log_.frame; }

private:
    GrabLog& log_;
};

class DropShadowTest : public testing::Test {
protected:
    void SetUp() override {
        log.window = &window;
        QPalette palette = window.palette();
        palette.setColor(QPalette::Dark, QColor::fromRgb(kDark));
        window.setPalette(palette);
        // Both strips start on an odd screen position: a half-tone taken from the strip's own
        // corner instead of the screen's would come out inverted.
        window.setGeometry(100, 77, 300, 200);
    }

    void attach() { attachTo(window, log); }

    static void attachTo(QWidget& target, GrabLog& state) {
        new DropShadow(target, std::make_unique<FakeGrabber>(state),
                       std::make_unique<FakeFrames>(state));
    }

    bool waitForShadow() {
        return QTest::qWaitFor([&] { return visibleStrips(window).size() == 2; });
    }

    ShadowGeometry expected() const {
        const QRect frame = log.frame.isEmpty() ? window.frameGeometry() : log.frame;
        return ShadowGeometry::forFrame(frame).clippedTo(window.screen()->virtualGeometry());
    }

    // Both strips stand where the window's frame says, show the half-tone of what lay
    // there, and were grabbed before either was shown.
    void expectShadowInPlace() {
        const ShadowGeometry strips = expected();
        std::vector<QRect> shownAt;
        for (const ShadowStrip* strip : visibleStrips(window)) {
            shownAt.push_back(strip->geometry());
            // A strip shown iconic would make the window manager iconify its owner too.
            EXPECT_EQ(strip->windowState(), Qt::WindowNoState);
            EXPECT_EQ(strip->image(),
                      halfTone(screenContent(strip->geometry()), strip->pos(), kDark));
        }
        EXPECT_EQ(shownAt, (std::vector<QRect>{strips.right, strips.bottom}));
        EXPECT_FALSE(log.grabbedWhileShown);
    }

    GrabLog log;
    QWidget window;
};

TEST_F(DropShadowTest, AppearsWithTheWindowAndFollowsItsStates) {
    attach();
    window.show();
    ASSERT_TRUE(waitForShadow());
    expectShadowInPlace();
    const ShadowGeometry strips = expected();
    EXPECT_EQ(log.areas, (std::vector<QRect>{strips.right, strips.bottom}));

    window.showMinimized();
    QCoreApplication::processEvents();
    EXPECT_TRUE(visibleStrips(window).empty());
    // The window manager iconifies the owner's transient windows along with it.
    for (ShadowStrip* strip : window.findChildren<ShadowStrip*>()) {
        strip->setWindowState(Qt::WindowMinimized);
    }

    log.areas.clear();
    window.showNormal();
    ASSERT_TRUE(waitForShadow());
    expectShadowInPlace();
    EXPECT_EQ(log.areas.size(), 2u);

    window.hide();
    EXPECT_TRUE(visibleStrips(window).empty());
    window.show();
    ASSERT_TRUE(waitForShadow());
    expectShadowInPlace();
}

TEST_F(DropShadowTest, StaysWhileAnotherWindowIsActive) {
    attach();
    window.show();
    ASSERT_TRUE(waitForShadow());
    QWidget other;
    other.setGeometry(500, 400, 100, 100);
    other.show();
    other.activateWindow();
    const std::size_t grabs = log.areas.size();
    QTest::qWait(300);
    EXPECT_EQ(visibleStrips(window).size(), 2u);
    EXPECT_EQ(log.areas.size(), grabs);
}

TEST_F(DropShadowTest, HidesWhileTheWindowMovesAndReturnsAtTheNewPlace) {
    attach();
    window.show();
    ASSERT_TRUE(waitForShadow());
    log.areas.clear();

    window.move(150, 120);
    window.move(163, 131);
    QCoreApplication::processEvents();
    EXPECT_TRUE(visibleStrips(window).empty());
    ASSERT_TRUE(waitForShadow());
    expectShadowInPlace();
    // One grab per strip once the window has come to rest, none for the places between.
    const ShadowGeometry strips = expected();
    EXPECT_EQ(log.areas, (std::vector<QRect>{strips.right, strips.bottom}));
}

TEST_F(DropShadowTest, FollowsAFrameDraggedWithoutTellingTheWindow) {
    attach();
    window.show();
    ASSERT_TRUE(waitForShadow());
    ASSERT_TRUE(log.frameMoved);
    log.areas.clear();

    // Mid-drag: the window still believes it stands where it was.
    log.frame = QRect(251, 160, 302, 222);
    log.frameMoved();
    EXPECT_TRUE(visibleStrips(window).empty());
    ASSERT_TRUE(waitForShadow());
    expectShadowInPlace();
    EXPECT_EQ(visibleStrips(window)[0]->geometry(), QRect(553, 166, 6, 216));
    EXPECT_EQ(log.areas.size(), 2u);
}

TEST_F(DropShadowTest, StripAtTheDesktopEdgeIsLeftOut) {
    const QRect desktop = window.screen()->virtualGeometry();
    window.move(desktop.right() + 1 - window.frameGeometry().width(), 40);
    attach();
    window.show();
    ASSERT_TRUE(QTest::qWaitFor([&] { return visibleStrips(window).size() == 1; }));
    QTest::qWait(300);
    const std::vector<ShadowStrip*> shown = visibleStrips(window);
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0]->geometry(), expected().bottom);
    EXPECT_LE(shown[0]->geometry().right(), desktop.right());
    EXPECT_EQ(log.areas, (std::vector<QRect>{expected().bottom}));
}

TEST_F(DropShadowTest, AbsentWhereTheDesktopCannotCastIt) {
    log.capable = false;
    attach();
    window.show();
    QTest::qWait(300);
    window.move(130, 90);
    QTest::qWait(300);
    EXPECT_TRUE(window.findChildren<ShadowStrip*>().empty());
    EXPECT_TRUE(log.areas.empty());

    GrabLog failing;
    failing.fails = true;
    QWidget other;
    attachTo(other, failing);
    other.show();
    ASSERT_TRUE(QTest::qWaitFor([&] { return failing.areas.size() == 2; }));
    QTest::qWait(300);
    EXPECT_TRUE(visibleStrips(other).empty());
}

}  // namespace
}  // namespace xcr
