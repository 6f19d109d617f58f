#include "app/about/AboutWindow.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QMouseEvent>
#include <QPaintEvent>
#include <memory>

#include "app/about/AboutLink.h"
#include "app/about/AboutPopup.h"
#include "tests/app/AboutPopupFixture.h"

namespace xcr {
namespace {

constexpr QPoint kTextOrigin{8, 4};

QPixmap square(Qt::GlobalColor colour) {
    QPixmap picture(48, 48);
    picture.fill(colour);
    return picture;
}

NamedPictures popupPictures() {
    NamedPictures pictures;
    pictures.add("MAVREL", square(Qt::darkRed));
    pictures.add("HELP", square(Qt::darkBlue));
    return pictures;
}

// Records the areas repainted after it is installed.
class PaintSpy : public QObject {
public:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Paint) {
            painted += static_cast<QPaintEvent*>(event)->region();
        }
        return false;
    }
    QRegion painted;
};

class AboutWindowTest : public test::AboutPopupFixture {
protected:
    AboutWindowTest() : AboutPopupFixture(0, popupPictures()) {
        owner->show();
        popup.rollUp();
        window = popup.window();
    }

    QRect linkRect(int link) const {
        return window->layout().links()[static_cast<std::size_t>(link)].rects.front().translated(
            kTextOrigin);
    }

    void send(QEvent::Type type, QPoint at) {
        const Qt::MouseButton button = type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton;
        QMouseEvent event(type, at, window->mapToGlobal(at), button, button, Qt::NoModifier);
        QApplication::sendEvent(window, &event);
    }

    // A row across the rectangle drawn almost wholly in the link colour: the underline.
    bool underlined(const QRect& rect) {
        const QImage image = window->grab().toImage();
        for (int y = rect.top(); y <= rect.bottom() + 1; ++y) {
            int blue = 0;
            for (int x = rect.left(); x <= rect.right(); ++x) {
                blue += image.pixelColor(x, y) == QColor(0, 0, 255) ? 1 : 0;
            }
            if (blue * 10 >= rect.width() * 9) {
                return true;
            }
        }
        return false;
    }

    AboutWindow* window = nullptr;
};

TEST_F(AboutWindowTest, GradientBandsRoundHalfToEvenAndOverlapByOnePixel) {
    const QImage image = window->grab().toImage();
    const int y = 3;  // inside the frame, above the text
    EXPECT_EQ(image.pixelColor(3, y), QColor(166, 202, 240));
    EXPECT_EQ(image.pixelColor(4, y), QColor(166, 202, 240));
    EXPECT_EQ(image.pixelColor(5, y), QColor(168, 203, 240));
    EXPECT_EQ(image.pixelColor(99, y), QColor(208, 227, 247));
    EXPECT_EQ(image.pixelColor(100, y), QColor(210, 228, 248));
    EXPECT_EQ(image.pixelColor(104, y), QColor(210, 228, 248));
    EXPECT_EQ(image.pixelColor(105, y), QColor(213, 230, 248));
    for (int row = 3; row < 222; ++row) {
        ASSERT_EQ(image.pixelColor(196, row), QColor(253, 254, 255)) << row;
    }
}

TEST_F(AboutWindowTest, FrameIsRaisedOutsideAndSunkenInside) {
    const QImage image = window->grab().toImage();
    const QColor face = window->palette().color(QPalette::Button);
    const QColor white(255, 255, 255);
    const QColor grey(128, 128, 128);
    for (const int along : {20, 111, 180}) {
        EXPECT_EQ(image.pixelColor(0, along), white) << along;
        EXPECT_EQ(image.pixelColor(1, along), face) << along;
        EXPECT_EQ(image.pixelColor(2, along), grey) << along;
        EXPECT_EQ(image.pixelColor(198, along), white) << along;
        EXPECT_EQ(image.pixelColor(199, along), grey) << along;
        EXPECT_EQ(image.pixelColor(along, 0), white) << along;
        EXPECT_EQ(image.pixelColor(along, 1), face) << along;
        EXPECT_EQ(image.pixelColor(along, 2), grey) << along;
        EXPECT_EQ(image.pixelColor(along, 222), white) << along;
        EXPECT_EQ(image.pixelColor(along, 223), grey) << along;
    }
    EXPECT_EQ(image.pixelColor(199, 0), grey);
    EXPECT_EQ(image.pixelColor(0, 223), grey);
    EXPECT_EQ(image.pixelColor(198, 2), white);
}

TEST_F(AboutWindowTest, PicturesStandInTheTextArea) {
    const QImage image = window->grab().toImage();
    EXPECT_EQ(image.pixelColor(8, 4), QColor(Qt::darkBlue));
    EXPECT_EQ(image.pixelColor(55, 51), QColor(Qt::darkBlue));
    EXPECT_NE(image.pixelColor(56, 4), QColor(Qt::darkBlue));
    const auto& last = window->layout().lines().back();
    EXPECT_EQ(image.pixelColor(kTextOrigin + QPoint(0, last.top)), QColor(Qt::darkRed));
}

TEST_F(AboutWindowTest, HoverUnderlinesOnlyTheLinkUnderThePointer) {
    EXPECT_FALSE(underlined(linkRect(0)));
    EXPECT_FALSE(underlined(linkRect(1)));

    send(QEvent::MouseMove, linkRect(0).center());
    EXPECT_EQ(window->hoveredLink(), 0);
    EXPECT_EQ(window->cursor().shape(), Qt::PointingHandCursor);
    EXPECT_TRUE(underlined(linkRect(0)));
    EXPECT_FALSE(underlined(linkRect(1)));

    send(QEvent::MouseMove, linkRect(1).center());
    EXPECT_EQ(window->hoveredLink(), 1);
    EXPECT_FALSE(underlined(linkRect(0)));
    EXPECT_TRUE(underlined(linkRect(1)));

    send(QEvent::MouseMove, QPoint(30, 30));
    EXPECT_EQ(window->hoveredLink(), -1);
    EXPECT_EQ(window->cursor().shape(), Qt::ArrowCursor);
    EXPECT_FALSE(underlined(linkRect(1)));
}

TEST_F(AboutWindowTest, HoverRepaintsTheOldAndTheNewLinkOnly) {
    QApplication::processEvents();
    PaintSpy spy;
    window->installEventFilter(&spy);
    send(QEvent::MouseMove, linkRect(0).center());
    send(QEvent::MouseMove, linkRect(0).center() + QPoint(1, 0));
    send(QEvent::MouseMove, linkRect(1).center());
    QApplication::processEvents();
    EXPECT_TRUE(spy.painted.contains(linkRect(0)));
    EXPECT_TRUE(spy.painted.contains(linkRect(1)));
    EXPECT_FALSE(spy.painted.contains(QPoint(30, 30)));
}

TEST_F(AboutWindowTest, PressOnTheMakerLinkOpensThePageAndLeavesThePopupInView) {
    QWidget other;
    other.show();
    other.activateWindow();
    QApplication::processEvents();

    send(QEvent::MouseButtonPress, linkRect(0).center());
    EXPECT_EQ(shell.opened, QStringList{"https://qeltmod.example.org/qeltmodhq/"});
    EXPECT_TRUE(window->isVisible());
    QApplication::processEvents();
    EXPECT_EQ(QApplication::activeWindow(), owner.get());
}

TEST_F(AboutWindowTest, PressOnCloseHidesAtOnce) {
    send(QEvent::MouseButtonPress, linkRect(1).center());
    EXPECT_FALSE(window->isVisible());
    EXPECT_TRUE(shell.opened.isEmpty());
    EXPECT_EQ(window->pos(), QPoint(804, 738 - 224));
}

TEST_F(AboutWindowTest, PressOutsideALinkOnlyActivatesTheOwner) {
    QWidget other;
    other.show();
    other.activateWindow();
    QApplication::processEvents();

    for (const QPoint at :
         {QPoint(20, 20), QPoint(100, 100), QPoint(1, 1), linkRect(1).topRight() + QPoint(1, 0)}) {
        send(QEvent::MouseButtonPress, at);
    }
    EXPECT_TRUE(shell.opened.isEmpty());
    EXPECT_TRUE(window->isVisible());
    QApplication::processEvents();
    EXPECT_EQ(QApplication::activeWindow(), owner.get());
}

}  // namespace
}  // namespace xcr
