// Feeds arbitrary text to the About popup's mark-up parser.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "app/about/MarkupParser.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    (void)xcr::parseMarkup(std::string_view(reinterpret_cast<const char*>(data), size));
    return 0;
}
