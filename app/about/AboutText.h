#ifndef APP_ABOUT_ABOUTTEXT_H
#define APP_ABOUT_ABOUTTEXT_H

#include <string>

namespace xcr {

// The popup's mark-up: six lines, each followed by a carriage return and line feed.
std::string aboutText();

}  // namespace xcr

#endif  // APP_ABOUT_ABOUTTEXT_H
