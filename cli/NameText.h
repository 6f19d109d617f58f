#ifndef CLI_NAMETEXT_H
#define CLI_NAMETEXT_H

#include <string>
#include <string_view>

namespace xcr {

// Entry names are bytes, shown as single-byte text as the window's list shows them: each
// byte is the character of that number. Written here in UTF-8.
std::string shownName(std::string_view bytes);

// The same for one line of a terminal: the control characters (0 to 31 and 127 to 159)
// are written as "\xNN", so that a name can neither break the line nor steer the
// terminal.
std::string printableName(std::string_view bytes);

}  // namespace xcr

#endif  // CLI_NAMETEXT_H
