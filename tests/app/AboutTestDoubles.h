#ifndef TESTS_APP_ABOUTTESTDOUBLES_H
#define TESTS_APP_ABOUTTESTDOUBLES_H

#include <QRect>
#include <QStringList>
#include <cstdint>
#include <functional>

#include "platform/EventPump.h"
#include "platform/ScreenArea.h"
#include "platform/Shell.h"
#include "platform/TickClock.h"

namespace xcr::test {

class FakeScreen final : public ScreenArea {
public:
    explicit FakeScreen(QSize size) : area(QPoint(0, 0), size) {}
    QRect fullScreenClientArea() const override { return area; }
    QRect area;
};

class FakeClock final : public TickClock {
public:
    explicit FakeClock(std::uint32_t start) : now(start) {}
    std::uint32_t ticks() override { return now; }
    std::uint32_t now;
};

// Each round of event handling takes 10 ms of the fake clock; a test hooks its own work in.
class FakePump final : public EventPump {
public:
    explicit FakePump(FakeClock& clock) : clock_(clock) {}
    void handlePending() override {
        ++calls;
        if (onPump) {
            onPump(clock_.now);
        }
        clock_.now += 10;
    }
    std::function<void(std::uint32_t)> onPump;
    int calls = 0;

private:
    FakeClock& clock_;
};

class FakeShell final : public Shell {
public:
    bool open(const QString& address) override {
        opened << address;
        return opens;
    }
    QStringList opened;
    bool opens = true;
};

}  // namespace xcr::test

#endif  // TESTS_APP_ABOUTTESTDOUBLES_H
