#include "platform/QtMessageBox.h"

#include <QMessageBox>

#include "archive/DisplayName.h"

namespace xcr {

void QtMessageBox::show(QWidget* parent, const std::string& text) {
    QMessageBox::critical(parent, QString::fromUtf8(kApplicationTitle),
                          QString::fromLocal8Bit(text.data(), static_cast<qsizetype>(text.size())));
}

}  // namespace xcr
