#include "preview/ImageControl.h"

#include <gtest/gtest.h>

#include <QSignalSpy>
#include <QTest>

namespace xcr {
namespace {

// Four 1-pixel quadrants: red, green / blue, white.
QImage quadrants() {
    QImage image(2, 2, QImage::Format_RGB32);
    image.setPixel(0, 0, qRgb(255, 0, 0));
    image.setPixel(1, 0, qRgb(0, 255, 0));
    image.setPixel(0, 1, qRgb(0, 0, 255));
    image.setPixel(1, 1, qRgb(255, 255, 255));
    return image;
}

QImage rendered(ImageControl& control) {
    return control.grab().toImage().convertToFormat(QImage::Format_RGB32);
}

TEST(ImageControlTest, OneToOneShowsThePicturesPixels) {
    ImageControl control;
    control.setPicture(quadrants());
    control.setFrame({0, 0, 2, 2, true, false});
    EXPECT_EQ(rendered(control), quadrants());
}

TEST(ImageControlTest, FittedDrawingScalesFromTheTopLeftAndLeavesTheRestEmpty) {
    QImage wide(4, 2, QImage::Format_RGB32);
    wide.fill(qRgb(255, 0, 0));
    wide.setPixel(3, 1, qRgb(0, 0, 255));
    ImageControl control;
    control.setPicture(wide);
    control.setFrame({0, 0, 410, 410, true, true});
    const QImage shown = rendered(control);
    ASSERT_EQ(shown.size(), QSize(410, 410));
    EXPECT_EQ(shown.pixel(0, 0), qRgb(255, 0, 0));
    EXPECT_EQ(shown.pixel(409, 204), qRgb(0, 0, 255));
    EXPECT_EQ(shown.pixel(306, 102), qRgb(255, 0, 0));
    for (QPoint empty : {QPoint(0, 205), QPoint(409, 409)}) {
        EXPECT_NE(shown.pixel(empty), qRgb(255, 0, 0));
        EXPECT_NE(shown.pixel(empty), qRgb(0, 0, 255));
    }
}

TEST(ImageControlTest, StretchedDrawingFillsTheControl) {
    ImageControl control;
    control.setPicture(quadrants());
    control.setFrame({0, 0, 8, 4, true, false});
    const QImage shown = rendered(control);
    EXPECT_EQ(shown.pixel(3, 1), qRgb(255, 0, 0));
    EXPECT_EQ(shown.pixel(4, 1), qRgb(0, 255, 0));
    EXPECT_EQ(shown.pixel(7, 3), qRgb(255, 255, 255));
}

TEST(ImageControlTest, FrameSetsGeometryAndFlags) {
    QWidget area;
    area.resize(410, 410);
    ImageControl control(&area);
    EXPECT_EQ(control.geometry(), QRect(0, 0, 0, 0));
    const ImageFrame frame{-30, 50, 126, 93, true, true};
    control.setFrame(frame);
    EXPECT_EQ(control.frame(), frame);
    EXPECT_EQ(control.geometry(), QRect(-30, 50, 126, 93));
    EXPECT_EQ(control.toolTip(), "Drag to move");
    EXPECT_EQ(control.cursor().shape(), Qt::DragMoveCursor);
}

TEST(ImageControlTest, AnyButtonReportsPressAndReleaseInItsOwnCoordinates) {
    QWidget area;
    area.resize(410, 410);
    ImageControl control(&area);
    control.setFrame({100, 100, 200, 200, true, false});
    area.show();
    QSignalSpy pressed(&control, &ImageControl::mousePressed);
    QSignalSpy released(&control, &ImageControl::mouseReleased);
    for (Qt::MouseButton button : {Qt::LeftButton, Qt::RightButton}) {
        QTest::mousePress(&control, button, {}, QPoint(10, 40));
        QTest::mouseRelease(&control, button, {}, QPoint(60, 10));
    }
    ASSERT_EQ(pressed.count(), 2);
    ASSERT_EQ(released.count(), 2);
    for (int i = 0; i < 2; ++i) {
        EXPECT_EQ(pressed[i], (QList<QVariant>{10, 40}));
        EXPECT_EQ(released[i], (QList<QVariant>{60, 10}));
    }
}

}  // namespace
}  // namespace xcr
