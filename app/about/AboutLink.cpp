#include "app/about/AboutLink.h"

#include "app/about/AboutPopup.h"
#include "platform/Shell.h"

namespace xcr {

void followAboutLink(const QString& value, Shell& shell, AboutPopup& popup) {
    if (value == QLatin1String("qeltmodhq")) {
        shell.open(QString::fromLatin1(kMakerPageAddress));
    }
    if (value == QLatin1String("close")) {
        popup.hide();
    }
}

}  // namespace xcr
