#ifndef ARCHIVE_FORMAT_LAYOUTCHECK_H
#define ARCHIVE_FORMAT_LAYOUTCHECK_H

#include <cstdint>
#include <string>
#include <vector>

#include "archive/format/EntryTable.h"
#include "archive/format/PlannedPlacement.h"

namespace xcr {
inline namespace format {

// Checks the layout a save would write before anything is written. Returns the text
// that refuses the save, or an empty text when it is safe: every value lies within
// 0 .. 2^31 - 1, no data lands on the header or directory, and data ranges overlap only
// where the overlap writes back the same old bytes (two entries that were not replaced
// and moved by the same amount).
std::string layoutRefusal(const EntryTable& entries, const std::vector<PlannedPlacement>& after,
                          std::int64_t total);

}  // namespace format
}  // namespace xcr

#endif  // ARCHIVE_FORMAT_LAYOUTCHECK_H
