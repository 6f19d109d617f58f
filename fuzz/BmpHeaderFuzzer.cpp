// Feeds arbitrary bytes to the checks in front of the bitmap decoder as a file's contents.
#include <cstddef>
#include <cstdint>

#include "preview/BmpHeaderCheck.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    (void)xcr::checkBmpHeader(data, size);
    return 0;
}
