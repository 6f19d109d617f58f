#include "platform/DropShadow.h"

#include <QEvent>
#include <QPalette>
#include <QScreen>
#include <QWidget>
#include <QWindow>
#include <utility>

#include "platform/DesktopScreenGrabber.h"
#include "platform/HalfTone.h"
#include "platform/ShadowGeometry.h"
#include "platform/ShadowStrip.h"
#include "platform/X11FrameTracker.h"

namespace xcr {
namespace {

// Long enough that a drag's stream of moves keeps the shadow away, and that what the
// window uncovered has been repainted before it is grabbed.
constexpr int kSettleMs = 150;

}  // namespace

DropShadow::DropShadow(QWidget& window, std::unique_ptr<ScreenGrabber> grabber,
                       std::unique_ptr<FrameTracker> frames)
    : QObject(&window), window_(window), grabber_(std::move(grabber)), frames_(std::move(frames)) {
    if (!grabber_->capable()) {
        return;
    }
    right_ = new ShadowStrip(window);
    bottom_ = new ShadowStrip(window);
    settle_.setSingleShot(true);
    settle_.setInterval(kSettleMs);
    connect(&settle_, &QTimer::timeout, this, &DropShadow::showStrips);
    window.installEventFilter(this);
    if (window.isVisible()) {
        settle_.start();
    }
}

void DropShadow::attach(QWidget& window) {
    new DropShadow(window, std::make_unique<DesktopScreenGrabber>(),
                   std::make_unique<X11FrameTracker>());
}

bool DropShadow::eventFilter(QObject* watched, QEvent* event) {
    if (watched != &window_) {
        return false;
    }
    switch (event->type()) {
        case QEvent::Move:
        case QEvent::Resize:
            windowMoved();
            break;
        case QEvent::Show:
            settle_.start();
            break;
        // Minimising a window hides it too (and restoring shows it), on every platform.
        case QEvent::Hide:
            settle_.stop();
            hideStrips();
            break;
        default:
            break;
    }
    return false;
}

void DropShadow::windowMoved() {
    hideStrips();
    settle_.start();
}

void DropShadow::hideStrips() {
    right_->hide();
    bottom_->hide();
}

void DropShadow::showStrips() {
    // Strips still shown mean the window has not moved since they were grabbed (a move
    // hides them); grabbing again would read back the shadow itself.
    if (!window_.isVisible() || window_.isMinimized() || right_->isVisible() ||
        bottom_->isVisible()) {
        return;
    }
    QWindow* handle = window_.windowHandle();
    if (handle == nullptr) {
        return;
    }
    // The window manager may hold a dragged frame still under the pointer; the shadow
    // returns once the button is let go.
    if (frames_->pointerButtonHeld()) {
        settle_.start();
        return;
    }
    // Followed afresh each time, since the window manager may have framed the window anew.
    frames_->follow(*handle, [this] { windowMoved(); });
    QRect frame = frames_->frameGeometry();
    if (frame.isEmpty()) {
        frame = handle->frameGeometry();
    }
    const ShadowGeometry strips =
        ShadowGeometry::forFrame(frame).clippedTo(window_.screen()->virtualGeometry());
    // Both grabs come before either strip shows, so neither can see the other.
    const QImage rightBehind = grabBehind(strips.right);
    const QImage bottomBehind = grabBehind(strips.bottom);
    const QRgb shade = window_.palette().color(QPalette::Dark).rgb();
    if (!rightBehind.isNull()) {
        right_->showAt(strips.right, halfTone(rightBehind, strips.right.topLeft(), shade));
    }
    if (!bottomBehind.isNull()) {
        bottom_->showAt(strips.bottom, halfTone(bottomBehind, strips.bottom.topLeft(), shade));
    }
}

QImage DropShadow::grabBehind(const QRect& area) {
    return area.isEmpty() ? QImage() : grabber_->grab(area);
}

}  // namespace xcr
