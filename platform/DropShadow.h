#ifndef PLATFORM_DROPSHADOW_H
#define PLATFORM_DROPSHADOW_H

#include <QImage>
#include <QObject>
#include <QRect>
#include <QTimer>
#include <memory>

#include "platform/FrameTracker.h"
#include "platform/ScreenGrabber.h"

class QWidget;

namespace xcr {

class ShadowStrip;

// A half-tone drop shadow under a top-level window's right and bottom edges: two strips
// that show what lay behind them, darkened. The shadow hides while the window is minimised
// or hidden, hides as soon as the window or its frame moves (a drag by the title bar) and
// comes back at the new place, grabbed afresh, once the window has been still for a
// moment. It stays while another window is active. Where the desktop cannot read back its
// pixels there is simply no shadow. Owned by the window.
class DropShadow : public QObject {
    Q_OBJECT

public:
    DropShadow(QWidget& window, std::unique_ptr<ScreenGrabber> grabber,
               std::unique_ptr<FrameTracker> frames);

    // Gives `window` a shadow drawn from the real screen.
    static void attach(QWidget& window);

    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void windowMoved();
    void hideStrips();
    void showStrips();
    QImage grabBehind(const QRect& area);

    QWidget& window_;
    std::unique_ptr<ScreenGrabber> grabber_;
    std::unique_ptr<FrameTracker> frames_;
    ShadowStrip* right_ = nullptr;
    ShadowStrip* bottom_ = nullptr;
    // Shows the shadow once the window has stopped moving or has settled after showing.
    QTimer settle_;
};

}  // namespace xcr

#endif
