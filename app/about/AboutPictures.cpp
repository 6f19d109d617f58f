#include "app/about/AboutPictures.h"

#include "app/Resources.h"

namespace xcr {

NamedPictures aboutPictures() {
    loadResources();
    NamedPictures pictures;
    pictures.add(QStringLiteral("MAVREL"), QPixmap(QStringLiteral(":/about/MAVREL.bmp")));
    pictures.add(QStringLiteral("HELP"), QPixmap(QStringLiteral(":/about/HELP.ico")));
    return pictures;
}

}  // namespace xcr
