// Feeds arbitrary bytes to the directory reader as an archive file's contents.
#include <cstddef>
#include <cstdint>

#include "archive/format/internal/ParseDirectory.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const xcr::EntryTable table = xcr::internal::parseEntryTable(data, size);
    for (int i = 0; i < table.count(); ++i) {
        (void)table.displayName(i);
    }
    return 0;
}
