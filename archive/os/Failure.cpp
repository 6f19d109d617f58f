#include "archive/os/Failure.h"

#include <cerrno>
#include <cstring>

namespace xcr {
inline namespace os {

std::string systemReason() {
    char buffer[256];
    // The GNU form: the text may be a static one rather than the buffer.
    return ::strerror_r(errno, buffer, sizeof buffer);
}

}  // namespace os
}  // namespace xcr
