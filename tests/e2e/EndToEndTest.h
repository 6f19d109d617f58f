#ifndef TESTS_E2E_ENDTOENDTEST_H
#define TESTS_E2E_ENDTOENDTEST_H

#include <gtest/gtest.h>

#include <cstdlib>

namespace xcr::e2e {

// Base of every end-to-end test. They need the X server and window manager that
// scripts/e2e.sh starts (it sets XCR_E2E); a plain ctest run, possibly on a display that
// other programs use, skips them instead of driving that display.
class EndToEndTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (std::getenv("XCR_E2E") == nullptr || std::getenv("DISPLAY") == nullptr) {
            GTEST_SKIP() << "needs the X server of scripts/e2e.sh";
        }
    }
};

}  // namespace xcr::e2e

#endif  // TESTS_E2E_ENDTOENDTEST_H
