#ifndef APP_ABOUT_ABOUTLINK_H
#define APP_ABOUT_ABOUTLINK_H

#include <QString>

namespace xcr {

class AboutPopup;
class Shell;

inline constexpr const char* kMakerPageAddress = "https://qeltmod.example.org/qeltmodhq/";

// Acts on a link clicked in the About popup: "qeltmodhq" opens the maker's web page and
// leaves the popup in view, "close" hides the popup; any other value does nothing.
void followAboutLink(const QString& value, Shell& shell, AboutPopup& popup);

}  // namespace xcr

#endif  // APP_ABOUT_ABOUTLINK_H
