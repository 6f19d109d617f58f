#ifndef PLATFORM_MESSAGEBOX_H
#define PLATFORM_MESSAGEBOX_H

#include <string>

class QWidget;

namespace xcr {

// Shows a failure's text to the user and waits until it is acknowledged.
class MessageBox {
public:
    virtual ~MessageBox() = default;
    virtual void show(QWidget* parent, const std::string& text) = 0;
};

}  // namespace xcr

#endif  // PLATFORM_MESSAGEBOX_H
