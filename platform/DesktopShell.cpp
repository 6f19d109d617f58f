#include "platform/DesktopShell.h"

#include <QDesktopServices>
#include <QUrl>

namespace xcr {

void DesktopShell::open(const QString& address) {
    // A desktop without a browser is a quiet case: the caller shows nothing either way.
    QDesktopServices::openUrl(QUrl(address));
}

}  // namespace xcr
