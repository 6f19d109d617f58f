#ifndef PLATFORM_SHADOWSTRIP_H
#define PLATFORM_SHADOWSTRIP_H

#include <QImage>
#include <QWidget>

namespace xcr {

// One strip of a drop shadow: a small frameless window beside its owner that shows a
// fixed picture, takes no input, never takes the focus and stays out of the task bar.
class ShadowStrip : public QWidget {
    Q_OBJECT

public:
    explicit ShadowStrip(QWidget& owner);

    // Shows `picture` at `screenArea` (global coordinates, the picture's size).
    void showAt(const QRect& screenArea, QImage picture);

    const QImage& image() const { return picture_; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QImage picture_;
};

}  // namespace xcr

#endif
