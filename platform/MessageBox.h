#ifndef PLATFORM_MESSAGEBOX_H
#define PLATFORM_MESSAGEBOX_H

#include <string>

class QWidget;

namespace xcr {

// Shows a text to the user and waits until it is acknowledged: a failure, or news the
// user must have (an interrupted save that was undone).
class MessageBox {
public:
    virtual ~MessageBox() = default;
    virtual void show(QWidget* parent, const std::string& text) = 0;
    virtual void inform(QWidget* parent, const std::string& text) = 0;
};

}  // namespace xcr

#endif  // PLATFORM_MESSAGEBOX_H
