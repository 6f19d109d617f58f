#include <gtest/gtest.h>

#include <QEvent>
#include <QPushButton>

#include "app/JobLock.h"

namespace xcr {
namespace {

// Records the order in which watched controls change their enabled state.
class EnableOrder : public QObject {
public:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::EnabledChange) {
            order.push_back(watched->objectName().toStdString());
        }
        return false;
    }
    std::vector<std::string> order;
};

TEST(JobLockTest, DisablesAndEnablesInOrderAndKnowsWhetherItWasFree) {
    QWidget window;
    std::vector<QWidget*> controls;
    EnableOrder order;
    for (const char* name : {"extract", "replace", "file", "list"}) {
        auto* control = new QPushButton(&window);
        control->setObjectName(name);
        control->installEventFilter(&order);
        controls.push_back(control);
    }
    JobLock lock({controls[0], controls[1], controls[2], controls[3]});
    EXPECT_FALSE(lock.isHeld());
    EXPECT_TRUE(lock.take());
    EXPECT_TRUE(lock.isHeld());
    for (auto* control : controls) {
        EXPECT_FALSE(control->isEnabled());
    }
    EXPECT_FALSE(lock.take());
    lock.release();
    EXPECT_FALSE(lock.isHeld());
    for (auto* control : controls) {
        EXPECT_TRUE(control->isEnabled());
    }
    const std::vector<std::string> once{"extract", "replace", "file", "list"};
    std::vector<std::string> twice = once;
    twice.insert(twice.end(), once.begin(), once.end());
    EXPECT_EQ(order.order, twice);
}

}  // namespace
}  // namespace xcr
