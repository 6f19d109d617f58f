#ifndef PLATFORM_DESKTOPSHELL_H
#define PLATFORM_DESKTOPSHELL_H

#include "platform/Shell.h"

namespace xcr {

// Hands the address to the desktop's default program for it.
class DesktopShell final : public Shell {
public:
    bool open(const QString& address) override;
};

}  // namespace xcr

#endif  // PLATFORM_DESKTOPSHELL_H
