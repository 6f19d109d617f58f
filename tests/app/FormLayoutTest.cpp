#include <gtest/gtest.h>

#include <QApplication>
#include <QLayout>
#include <QScreen>

#include "app/FormGeometry.h"
#include "app/TForm1.h"
#include "tests/app/FakeServices.h"

namespace xcr {
namespace {

class FormLayoutTest : public ::testing::Test {
protected:
    test::FakeServices fakes;
    TForm1 form{fakes.take()};
};

// The one column of list, buttons and bar, 8 pixels left of the picture area, which
// fills the rest of the client area.
TEST(FormGeometryTest, ListButtonsAndBarShareOneColumnBesideThePictureArea) {
    using G = FormGeometry;
    EXPECT_EQ(G::kClient, QSize(635, 410));
    const QRect row = G::button(1) | G::button(G::kButtonCount);
    for (const QRect& part : {G::kList, row, G::kProgressBar}) {
        EXPECT_EQ(part.left(), 1);
        EXPECT_EQ(part.right() + 1, 217);
    }
    EXPECT_EQ(row.width(), 24 * 9);
    EXPECT_EQ(row.top() - G::kList.bottom() - 1, 5);
    EXPECT_EQ(G::kProgressBar.top() - row.bottom() - 1, 4);
    EXPECT_EQ(G::kProgressBar.bottom() + 1, 410);
    EXPECT_EQ(G::kPictureArea, QRect(217 + 8, 0, 410, 410));
    EXPECT_EQ(G::kPictureArea.right() + 1, G::kClient.width());
}

TEST_F(FormLayoutTest, EveryControlStandsAtItsPlace) {
    struct Place {
        QWidget* control;
        QRect rect;
    };
    using G = FormGeometry;
    const Place places[] = {
        {form.CheckListBox1, G::kList},       {form.SpeedButton1, G::button(1)},
        {form.SpeedButton2, G::button(2)},    {form.SpeedButton3, G::button(3)},
        {form.SpeedButton4, G::button(4)},    {form.SpeedButton5, G::button(5)},
        {form.SpeedButton6, G::button(6)},    {form.SpeedButton7, G::button(7)},
        {form.SpeedButton8, G::button(8)},    {form.SpeedButton9, G::button(9)},
        {form.ProgressBar1, G::kProgressBar}, {form.Panel1, G::kPictureArea},
    };
    QWidget* client = form.centralWidget();
    EXPECT_EQ(client->size(), FormGeometry::kClient);
    for (const auto& place : places) {
        EXPECT_EQ(place.control->parentWidget(), client)
            << place.control->metaObject()->className();
        EXPECT_EQ(place.control->geometry(), place.rect)
            << place.control->metaObject()->className();
    }
    // Stacking and tab order follow the table.
    const auto children = client->findChildren<QWidget*>(Qt::FindDirectChildrenOnly);
    ASSERT_EQ(children.size(), std::size(places));
    for (std::size_t i = 0; i < std::size(places); ++i) {
        EXPECT_EQ(children[static_cast<qsizetype>(i)], places[i].control) << i;
    }
}

TEST_F(FormLayoutTest, FixedWindowThatMinimisesButNeverMaximises) {
    form.show();
    QApplication::processEvents();
    EXPECT_EQ(form.minimumSize(), form.maximumSize());
    EXPECT_EQ(form.centralWidget()->geometry().size(), FormGeometry::kClient);
    EXPECT_EQ(form.height(), form.menuBar()->height() + FormGeometry::kClient.height());
    const auto flags = form.windowFlags();
    EXPECT_TRUE(flags & Qt::WindowMinimizeButtonHint);
    EXPECT_FALSE(flags & Qt::WindowMaximizeButtonHint);
    EXPECT_FALSE(flags & Qt::WindowContextHelpButtonHint);
    EXPECT_EQ(form.windowTitle(), "Pelloran Plus 3");
    EXPECT_EQ(form.font().pointSize(), 8);
    EXPECT_EQ(form.palette().color(QPalette::Window), form.palette().color(QPalette::Button));
    // Only the list takes the keyboard focus, and it has it once the window is shown.
    for (auto* widget : form.findChildren<QWidget*>()) {
        if (widget != form.CheckListBox1 && !form.CheckListBox1->isAncestorOf(widget)) {
            EXPECT_EQ(widget->focusPolicy(), Qt::NoFocus) << widget->metaObject()->className();
        }
    }
    EXPECT_NE(form.CheckListBox1->focusPolicy(), Qt::NoFocus);
    EXPECT_EQ(form.focusWidget(), form.CheckListBox1);
}

// The frame a window manager adds is known ahead, so the window opens centred by it.
TEST(FormPlacementTest, OpensCentredByTheOuterEdgesOfItsFrame) {
    for (const QMargins margins : {QMargins(), QMargins(1, 20, 1, 1)}) {
        test::FakeServices fakes;
        fakes.frameMargins->margins = margins;
        TForm1 form{fakes.take()};
        form.show();
        const QRect frame = form.geometry().marginsAdded(margins);
        const QPoint centre = form.screen()->availableGeometry().center();
        EXPECT_LE((frame.center() - centre).manhattanLength(), 1)
            << frame.center().x() << ", " << frame.center().y();
    }
}

TEST_F(FormLayoutTest, MenuHasFileWithItsCommandsAndAboutOnTheBar) {
    const auto bar = form.MainMenu1->actions();
    ASSERT_EQ(bar.size(), 2);
    EXPECT_EQ(bar[0], form.File1->menuAction());
    EXPECT_EQ(bar[1], form.About1);
    EXPECT_EQ(form.File1->title(), "File");
    EXPECT_EQ(form.About1->text(), "About");
    EXPECT_EQ(form.About1->menu(), nullptr);
    QStringList captions;
    for (auto* action : form.File1->actions()) {
        EXPECT_FALSE(action->isSeparator());
        captions << action->text();
    }
    EXPECT_EQ(captions,
              QStringList({"Open XCR", "Save XCR", "Replace from folder", "Replacements\u2026",
                           "Apply mod patch\u2026", "Export replacements as mod patch\u2026",
                           "Undo last save", "Exit"}));
    for (auto* action : form.findChildren<QAction*>()) {
        EXPECT_TRUE(action->shortcut().isEmpty()) << action->text().toStdString();
        EXPECT_FALSE(action->text().contains('&')) << action->text().toStdString();
    }
}

TEST_F(FormLayoutTest, ButtonsCarryHintsAndGlyphsAndOnlyPlayWavStartsDisabled) {
    const std::pair<SpeedButton*, const char*> buttons[] = {
        {form.SpeedButton1, "Play Wav"},     {form.SpeedButton2, "Extract"},
        {form.SpeedButton3, "Replace"},      {form.SpeedButton4, "Select all"},
        {form.SpeedButton5, "Deselect all"}, {form.SpeedButton6, "Zoom in"},
        {form.SpeedButton7, "Zoom out"},     {form.SpeedButton8, "Fit to window"},
        {form.SpeedButton9, "Zoom 1:1"},
    };
    for (const auto& [button, hint] : buttons) {
        EXPECT_EQ(button->toolTip(), hint);
        EXPECT_FALSE(button->icon().isNull()) << hint;
        EXPECT_EQ(button->isEnabled(), button != form.SpeedButton1) << hint;
    }
    EXPECT_TRUE(form.File1->menuAction()->isEnabled());
    EXPECT_TRUE(form.CheckListBox1->isEnabled());
    EXPECT_TRUE(form.About1->isEnabled());
    EXPECT_EQ(form.ProgressBar1->minimum(), 0);
    EXPECT_EQ(form.ProgressBar1->maximum(), 100);
    EXPECT_EQ(form.ProgressBar1->value(), 0);
    EXPECT_FALSE(form.ProgressBar1->isTextVisible());
}

TEST(SpeedButtonTest, BottomLeftColourBecomesTransparentAndDisabledGlyphIsGreyed) {
    QImage glyph(24, 24, QImage::Format_RGB32);
    glyph.fill(qRgb(255, 0, 255));
    for (int y = 4; y < 20; ++y) {
        glyph.setPixel(10, y, qRgb(200, 30, 30));
    }
    const QImage result = SpeedButton::transparentGlyph(glyph).toImage();
    EXPECT_EQ(qAlpha(result.pixel(0, 23)), 0);
    EXPECT_EQ(qAlpha(result.pixel(23, 0)), 0);
    EXPECT_EQ(qAlpha(result.pixel(10, 10)), 255);
    EXPECT_EQ(result.pixel(10, 10), qRgb(200, 30, 30));

    // Another bottom-left colour: magenta stays visible.
    glyph.setPixel(0, 23, qRgb(1, 2, 3));
    const QImage other = SpeedButton::transparentGlyph(glyph).toImage();
    EXPECT_EQ(qAlpha(other.pixel(0, 23)), 0);
    EXPECT_EQ(qAlpha(other.pixel(5, 5)), 255);

    const QIcon icon(SpeedButton::transparentGlyph(glyph));
    EXPECT_NE(icon.pixmap(24, QIcon::Disabled).toImage(), icon.pixmap(24, QIcon::Normal).toImage());
}

}  // namespace
}  // namespace xcr
