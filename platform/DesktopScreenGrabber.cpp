#include "platform/DesktopScreenGrabber.h"

#include <QGuiApplication>
#include <QPixmap>
#include <QScreen>

namespace xcr {

bool DesktopScreenGrabber::capable() const {
    // Under a Wayland session an X11 client reads back black instead of the desktop.
    const bool wayland = !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY") ||
                         qEnvironmentVariable("XDG_SESSION_TYPE") == QLatin1String("wayland");
    return QGuiApplication::platformName() == QLatin1String("xcb") && !wayland;
}

QImage DesktopScreenGrabber::grab(const QRect& area) {
    QScreen* screen = QGuiApplication::screenAt(area.center());
    if (screen == nullptr || area.isEmpty()) {
        return {};
    }
    // A grab of the whole screen takes coordinates relative to that screen.
    const QRect local = area.translated(-screen->geometry().topLeft());
    return screen->grabWindow(0, local.x(), local.y(), local.width(), local.height()).toImage();
}

}  // namespace xcr
