#ifndef TESTS_SUPPORT_INTERRUPTEDSAVE_H
#define TESTS_SUPPORT_INTERRUPTEDSAVE_H

#include <cstdint>
#include <string>

#include "tests/support/XcrBuilder.h"

namespace xcr::test {

// Leaves the archive at `path` as a save cut off would: `total` written into its total
// size field, the file grown by `grownBy` bytes, and beside it the complete journal that
// puts it back. Returns what the archive holds now.
Bytes interruptSave(const std::string& path, std::int32_t total, std::size_t grownBy);

}  // namespace xcr::test

#endif  // TESTS_SUPPORT_INTERRUPTEDSAVE_H
