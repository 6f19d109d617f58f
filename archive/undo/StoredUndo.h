#ifndef ARCHIVE_UNDO_STOREDUNDO_H
#define ARCHIVE_UNDO_STOREDUNDO_H

#include <cstdint>
#include <optional>
#include <string>

#include "archive/undo/UndoRecord.h"

namespace xcr {
inline namespace undo {

// One record in the store.
struct StoredUndo {
    std::string name;
    std::int64_t size = 0;
    // Nothing when it cannot be read (cut off by a crash, damaged, another user's), and
    // then why.
    std::optional<UndoRecord> record;
    std::string problem;
};

}  // namespace undo
}  // namespace xcr

#endif  // ARCHIVE_UNDO_STOREDUNDO_H
