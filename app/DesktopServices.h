#ifndef APP_DESKTOPSERVICES_H
#define APP_DESKTOPSERVICES_H

#include "app/FormServices.h"

namespace xcr {

// The real dialogs, message box, alert sound and wave player of the desktop.
FormServices desktopServices();

}  // namespace xcr

#endif  // APP_DESKTOPSERVICES_H
