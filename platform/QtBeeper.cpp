#include "platform/QtBeeper.h"

#include <QApplication>

namespace xcr {

void QtBeeper::beep() {
    QApplication::beep();
}

}  // namespace xcr
