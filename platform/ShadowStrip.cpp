#include "platform/ShadowStrip.h"

#include <QPainter>
#include <utility>

namespace xcr {

ShadowStrip::ShadowStrip(QWidget& owner)
    : QWidget(&owner, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowTransparentForInput |
                          Qt::WindowDoesNotAcceptFocus | Qt::NoDropShadowWindowHint) {
    setAttribute(Qt::WA_ShowWithoutActivating);
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setAttribute(Qt::WA_OpaquePaintEvent);
    setAttribute(Qt::WA_NoSystemBackground);
    setFocusPolicy(Qt::NoFocus);
}

void ShadowStrip::showAt(const QRect& screenArea, QImage picture) {
    picture_ = std::move(picture);
    setGeometry(screenArea);
    // The window manager iconifies a strip along with its owner; showing it iconic again
    // would make the manager iconify the owner as well.
    showNormal();
    update();
}

void ShadowStrip::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.drawImage(0, 0, picture_);
}

}  // namespace xcr
