#include "app/FormLook.h"

#include <QMainWindow>

#include "app/WindowTitle.h"

namespace xcr {

void applyFormLook(QMainWindow& window) {
    window.setWindowIcon(QIcon(QStringLiteral(":/icon/pelloran.ico")));
    window.setWindowTitle(QString::fromUtf8(kApplicationTitle));
    window.setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                          Qt::WindowCloseButtonHint);
    QFont font(QStringLiteral("MS Sans Serif"));
    font.setStyleHint(QFont::SansSerif);
    font.setPointSize(8);
    window.setFont(font);
    QPalette colours = window.palette();
    colours.setColor(QPalette::Window, colours.color(QPalette::Button));
    window.setPalette(colours);
}

}  // namespace xcr
