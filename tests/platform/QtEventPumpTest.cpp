#include "platform/QtEventPump.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QTimer>

namespace xcr {
namespace {

TEST(QtEventPumpTest, HandlesQueuedWorkAndReturnsWhenNothingIsLeft) {
    QtEventPump pump;
    pump.handlePending();  // returns although nothing is pending

    int calls = 0;
    QObject context;
    QMetaObject::invokeMethod(
        &context, [&calls] { ++calls; }, Qt::QueuedConnection);
    pump.handlePending();
    EXPECT_EQ(calls, 1);
}

TEST(QtEventPumpTest, KeepsTimersRunningWhileCalledInALoop) {
    QtEventPump pump;
    bool fired = false;
    QTimer::singleShot(5, [&fired] { fired = true; });
    for (int i = 0; i < 100000 && !fired; ++i) {
        pump.handlePending();
    }
    EXPECT_TRUE(fired);
}

}  // namespace
}  // namespace xcr
