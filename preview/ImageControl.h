#ifndef PREVIEW_IMAGECONTROL_H
#define PREVIEW_IMAGECONTROL_H

#include <QImage>
#include <QWidget>

#include "preview/ImageFrame.h"

namespace xcr {

// The picture control inside the picture area: holds its own copy of a picture and draws
// it by the stretch and proportional flags, always from its top-left corner. Reports a
// press and a release of any mouse button in its own coordinates.
class ImageControl : public QWidget {
    Q_OBJECT

public:
    explicit ImageControl(QWidget* parent = nullptr);

    void setPicture(const QImage& picture);
    const QImage& picture() const { return picture_; }
    void setFrame(const ImageFrame& frame);
    ImageFrame frame() const;

signals:
    void mousePressed(int x, int y);
    void mouseReleased(int x, int y);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    QImage picture_;
    bool stretch_ = false;
    bool proportional_ = false;
};

}  // namespace xcr

#endif  // PREVIEW_IMAGECONTROL_H
