#include "platform/DesktopShell.h"

#include <QDesktopServices>
#include <QUrl>

namespace xcr {

bool DesktopShell::open(const QString& address) {
    return QDesktopServices::openUrl(QUrl(address));
}

}  // namespace xcr
