#ifndef TESTS_SUPPORT_FAILURETEXT_H
#define TESTS_SUPPORT_FAILURETEXT_H

#include <string>

#include "archive/os/Failure.h"

namespace xcr::test {

// The text of the failure that `action` throws, or "no failure" when it throws none.
template <typename Action>
std::string failureText(Action&& action) {
    try {
        action();
    } catch (const Failure& failure) {
        return failure.what();
    }
    return "no failure";
}

}  // namespace xcr::test

#endif  // TESTS_SUPPORT_FAILURETEXT_H
