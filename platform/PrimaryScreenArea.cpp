#include "platform/PrimaryScreenArea.h"

#include <QApplication>
#include <QScreen>
#include <QStyle>

namespace xcr {

QRect PrimaryScreenArea::fullScreenClientArea() const {
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (screen == nullptr) {
        return {};
    }
    const QRect usable = screen->availableGeometry();
    const int captionBar = QApplication::style()->pixelMetric(QStyle::PM_TitleBarHeight);
    return usable.adjusted(0, 0, 0, -captionBar);
}

}  // namespace xcr
