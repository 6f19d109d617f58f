#include "platform/PrimaryScreenArea.h"

#include <QApplication>
#include <QScreen>
#include <QStyle>

namespace xcr {

QSize PrimaryScreenArea::fullScreenClientSize() const {
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (screen == nullptr) {
        return {};
    }
    const QSize usable = screen->availableGeometry().size();
    const int captionBar = QApplication::style()->pixelMetric(QStyle::PM_TitleBarHeight);
    return {usable.width(), usable.height() - captionBar};
}

}  // namespace xcr
