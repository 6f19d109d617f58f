#include <QApplication>

#include "app/DesktopServices.h"
#include "app/TForm1.h"
#include "app/WindowTitle.h"
#include "platform/DropShadow.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    // The task bar names the program; the display name stays unset, since the desktop
    // would append it to every window caption.
    QApplication::setApplicationName(QString::fromUtf8(xcr::kApplicationTitle));
    // The window ends the program itself, once any running job has ended.
    QApplication::setQuitOnLastWindowClosed(false);
    xcr::TForm1 form(xcr::desktopServices());
    xcr::DropShadow::attach(form);
    QObject::connect(&form, &xcr::TForm1::closed, &app, &QApplication::quit, Qt::QueuedConnection);
    form.show();
    return QApplication::exec();
}
