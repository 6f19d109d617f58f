#ifndef APP_ABOUT_ABOUTPICTURES_H
#define APP_ABOUT_ABOUTPICTURES_H

#include "app/about/NamedPictures.h"

namespace xcr {

// The popup's named pictures from the program's resources: "MAVREL", then "HELP".
NamedPictures aboutPictures();

}  // namespace xcr

#endif  // APP_ABOUT_ABOUTPICTURES_H
