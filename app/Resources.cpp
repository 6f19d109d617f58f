#include "app/Resources.h"

#include <QtGlobal>

// Q_INIT_RESOURCE declares the registration function it calls, so it must be used outside
// any namespace.
static void registerPictures() {
    Q_INIT_RESOURCE(resources);
}

namespace xcr {

void loadResources() {
    static const bool registered = (registerPictures(), true);
    (void)registered;
}

}  // namespace xcr
