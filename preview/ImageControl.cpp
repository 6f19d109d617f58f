#include "preview/ImageControl.h"

#include <QMouseEvent>
#include <QPainter>

#include "preview/DrawnSize.h"

namespace xcr {

ImageControl::ImageControl(QWidget* parent) : QWidget(parent) {
    setToolTip(QStringLiteral("Drag to move"));
    setCursor(Qt::DragMoveCursor);
    setGeometry(0, 0, 0, 0);
}

void ImageControl::setPicture(const QImage& picture) {
    picture_ = picture;
    update();
}

void ImageControl::setFrame(const ImageFrame& frame) {
    stretch_ = frame.stretch;
    proportional_ = frame.proportional;
    setGeometry(frame.left, frame.top, frame.width, frame.height);
    update();
}

ImageFrame ImageControl::frame() const {
    return ImageFrame{x(), y(), width(), height(), stretch_, proportional_};
}

void ImageControl::paintEvent(QPaintEvent*) {
    if (picture_.isNull()) {
        return;
    }
    const DrawnSize drawn =
        drawnSize(picture_.width(), picture_.height(), width(), height(), stretch_, proportional_);
    QPainter painter(this);
    painter.drawImage(QRect(0, 0, drawn.width, drawn.height), picture_);
}

void ImageControl::mousePressEvent(QMouseEvent* event) {
    const QPoint at = event->position().toPoint();
    emit mousePressed(at.x(), at.y());
}

void ImageControl::mouseReleaseEvent(QMouseEvent* event) {
    const QPoint at = event->position().toPoint();
    emit mouseReleased(at.x(), at.y());
}

}  // namespace xcr
