#ifndef APP_COMMANDGUARD_H
#define APP_COMMANDGUARD_H

#include <functional>

#include "platform/MessageBox.h"

class QWidget;

namespace xcr {

// Runs one command of the window: a failure that escapes it ends the command and its
// text is shown in a message box; the window stays usable.
class CommandGuard {
public:
    CommandGuard(MessageBox& messages, QWidget* parent) : messages_(messages), parent_(parent) {}

    void run(const std::function<void()>& command) const;

private:
    MessageBox& messages_;
    QWidget* parent_;
};

}  // namespace xcr

#endif  // APP_COMMANDGUARD_H
