#include <gtest/gtest.h>

#include <QApplication>
#include <QMouseEvent>
#include <QSignalSpy>

#include "app/TForm1.h"
#include "tests/app/FakeServices.h"

namespace xcr {
namespace {

class FormAboutTest : public ::testing::Test {
protected:
    AboutWindow* popupWindow() const { return form.About->window(); }

    void pressLink(int link) {
        const QPoint at =
            popupWindow()->layout().links()[link].rects.front().center() + QPoint(8, 4);
        QMouseEvent press(QEvent::MouseButtonPress, at, popupWindow()->mapToGlobal(at),
                          Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(popupWindow(), &press);
    }

    test::FakeServices fakes;
    TForm1 form{fakes.take()};
};

TEST_F(FormAboutTest, AboutReturnsWithThePopupInItsFinalPlace) {
    EXPECT_EQ(popupWindow(), nullptr);
    form.About1->trigger();
    ASSERT_NE(popupWindow(), nullptr);
    EXPECT_EQ(popupWindow()->geometry(), QRect(1024 - 220, 738 - 224, 200, 224));
    EXPECT_TRUE(popupWindow()->isVisible());
    EXPECT_EQ(popupWindow()->parentWidget(), &form);
    EXPECT_EQ(fakes.clock->now, 600u);
    EXPECT_TRUE(fakes.messages->texts.empty());
}

TEST_F(FormAboutTest, PopupShowsTheProgramsOwnPictures) {
    form.About1->trigger();
    const auto& lines = popupWindow()->layout().lines();
    ASSERT_FALSE(lines.empty());
    EXPECT_EQ(lines.front().pieces.at(0).rect, QRect(0, 0, 48, 48));
    EXPECT_EQ(lines.back().pieces.at(0).rect.size(), QSize(48, 48));
}

TEST_F(FormAboutTest, LinksOpenTheMakersPageAndClose) {
    form.About1->trigger();
    pressLink(0);
    EXPECT_EQ(fakes.shell->opened, QStringList{"https://qeltmod.example.org/qeltmodhq/"});
    EXPECT_TRUE(popupWindow()->isVisible());
    pressLink(1);
    EXPECT_FALSE(popupWindow()->isVisible());
    EXPECT_EQ(fakes.shell->opened.size(), 1);

    // Only the exact values act.
    form.About1->trigger();
    for (const char* value : {"Qeltmodhq", "qeltmodhq ", "Close", "", "closed"}) {
        form.AboutAnchorClick(value);
    }
    EXPECT_EQ(fakes.shell->opened.size(), 1);
    EXPECT_TRUE(popupWindow()->isVisible());
}

TEST_F(FormAboutTest, ExitDuringTheRollUpEndsAfterItReturns) {
    QSignalSpy closed(&form, &TForm1::closed);
    form.show();
    fakes.pump->onPump = [this](std::uint32_t tick) {
        if (tick == 200) {
            form.Exit1->trigger();
        }
    };
    form.About1->trigger();
    EXPECT_EQ(closed.count(), 1);
    EXPECT_EQ(popupWindow()->y(), 738 - 224);
}

}  // namespace
}  // namespace xcr
