// Feeds arbitrary bytes to the directory reader as an archive file's contents.
#include <cstddef>
#include <cstdint>

#include "archive/Directory.h"
#include "archive/DisplayName.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    for (const auto& record : xcr::parseDirectory(data, size)) {
        (void)xcr::displayName(record.rawName);
    }
    return 0;
}
