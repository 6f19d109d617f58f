#ifndef PLATFORM_DISPLAYREACH_H
#define PLATFORM_DISPLAYREACH_H

#include <optional>
#include <string>

namespace xcr {

// Qt aborts the program when its X11 platform finds no X server, so the window program
// tries the connection itself first. Gives what was tried ("DISPLAY is :5", "DISPLAY is
// not set") when it failed; nothing when the server answered or Qt goes elsewhere (another
// platform chosen with QT_QPA_PLATFORM or -platform, or a Wayland session), which then
// answers for itself. `argv` is the program's, whose -platform and -display Qt obeys.
std::optional<std::string> unreachableDisplay(int argc, char** argv);

}  // namespace xcr

#endif  // PLATFORM_DISPLAYREACH_H
