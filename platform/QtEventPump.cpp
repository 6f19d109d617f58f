#include "platform/QtEventPump.h"

#include <QCoreApplication>
#include <QTimer>

namespace xcr {

void QtEventPump::handlePending() {
    // With nothing pending the call waits for the next event, at most one millisecond, so a
    // caller that asks again and again does not keep a core busy.
    QTimer wakeUp;
    wakeUp.setSingleShot(true);
    wakeUp.start(1);
    QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
}

}  // namespace xcr
