#ifndef ARCHIVE_UNDO_UNDOHISTORY_H
#define ARCHIVE_UNDO_UNDOHISTORY_H

#include <string>
#include <vector>

#include "archive/format/EntryTable.h"
#include "archive/store/HeldArchive.h"
#include "archive/undo/UndoStore.h"

namespace xcr {
inline namespace undo {

struct UndoStep {
    StoredUndo stored;
    // Whether undoing the newer saves one by one leads to this one and it can be undone.
    bool undoable = false;
};

// The held archive's undo records, newest first, but for newest ones with nothing left to
// undo (the archive is as it was before their save). The newest can be undone when the
// archive is exactly as its save left it; each older one when the one after it can be
// and that newer save was made on the archive exactly as this one left it.
std::vector<UndoStep> undoHistory(HeldArchive& archive, const UndoOptions& options);

// Whether the held archive, which the window lists as `entries`, is exactly as its newest
// undo record's save left it. Reads the archive's header and directory and the records'
// ends, so the window can ask each time its menu opens.
bool lastSaveUndoable(HeldArchive& archive, const EntryTable& entries, const UndoOptions& options);

}  // namespace undo
}  // namespace xcr

#endif  // ARCHIVE_UNDO_UNDOHISTORY_H
