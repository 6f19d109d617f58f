#ifndef TESTS_APP_ABOUTPOPUPFIXTURE_H
#define TESTS_APP_ABOUTPOPUPFIXTURE_H

#include <gtest/gtest.h>

#include <QWidget>
#include <cstdint>
#include <memory>

#include "app/about/AboutLink.h"
#include "app/about/AboutPopup.h"
#include "tests/app/AboutTestDoubles.h"

namespace xcr::test {

// The About popup of an owner window on a 1024 x 738 screen, run by a fake clock and
// event pump; its links act on a fake shell as the window's handler does.
class AboutPopupFixture : public ::testing::Test {
protected:
    AboutPopupFixture(std::uint32_t startTick, NamedPictures pictures)
        : clock(startTick),
          owner(std::make_unique<QWidget>()),
          popup(owner.get(), screen, clock, pump, std::move(pictures),
                [this](const QString& value) { followAboutLink(value, shell, popup); }) {}

    FakeScreen screen{QSize(1024, 738)};
    FakeClock clock;
    FakePump pump{clock};
    FakeShell shell;
    std::unique_ptr<QWidget> owner;
    AboutPopup popup;
};

}  // namespace xcr::test

#endif  // TESTS_APP_ABOUTPOPUPFIXTURE_H
