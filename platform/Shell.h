#ifndef PLATFORM_SHELL_H
#define PLATFORM_SHELL_H

#include <QString>

namespace xcr {

// The desktop's "open" action on a web address. Whether it worked is not reported: nobody
// looks at the outcome.
class Shell {
public:
    virtual ~Shell() = default;
    virtual void open(const QString& address) = 0;
};

}  // namespace xcr

#endif  // PLATFORM_SHELL_H
