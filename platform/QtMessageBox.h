#ifndef PLATFORM_QTMESSAGEBOX_H
#define PLATFORM_QTMESSAGEBOX_H

#include "platform/MessageBox.h"

namespace xcr {

// A modal error box titled with the program's name.
class QtMessageBox : public MessageBox {
public:
    void show(QWidget* parent, const std::string& text) override;
    void inform(QWidget* parent, const std::string& text) override;
};

}  // namespace xcr

#endif  // PLATFORM_QTMESSAGEBOX_H
