#ifndef PLATFORM_SHELL_H
#define PLATFORM_SHELL_H

#include <QString>

namespace xcr {

// The desktop's "open" action on an address: a web page, or a file ("file://…") in the
// program the desktop opens its type with.
class Shell {
public:
    virtual ~Shell() = default;
    // Whether the desktop took the address: false when nothing on it opens such addresses.
    virtual bool open(const QString& address) = 0;
};

}  // namespace xcr

#endif  // PLATFORM_SHELL_H
