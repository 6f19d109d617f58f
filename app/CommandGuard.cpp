#include "app/CommandGuard.h"

#include <exception>

namespace xcr {

void CommandGuard::run(const std::function<void()>& command) const {
    try {
        command();
    } catch (const std::exception& failure) {
        messages_.show(parent_, failure.what());
    }
}

}  // namespace xcr
