#ifndef APP_DESKTOPSERVICES_H
#define APP_DESKTOPSERVICES_H

#include "app/FormServices.h"

namespace xcr {

// The real dialogs, message box, alert sound, wave player, screen, clock, event pump
// and shell of the desktop.
FormServices desktopServices();

}  // namespace xcr

#endif  // APP_DESKTOPSERVICES_H
