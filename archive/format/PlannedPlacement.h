#ifndef ARCHIVE_FORMAT_PLANNEDPLACEMENT_H
#define ARCHIVE_FORMAT_PLANNEDPLACEMENT_H

#include <cstdint>

namespace xcr {
inline namespace format {

// An entry's place after a save, in wide numbers so that overflow can be seen.
struct PlannedPlacement {
    std::int64_t offset = 0;
    std::int64_t size = 0;
    bool replaced = false;
};

}  // namespace format
}  // namespace xcr

#endif  // ARCHIVE_FORMAT_PLANNEDPLACEMENT_H
