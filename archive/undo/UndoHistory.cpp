#include "archive/undo/UndoHistory.h"

#include "archive/os/Failure.h"

namespace xcr {
inline namespace undo {

std::vector<UndoStep> undoHistory(HeldArchive& archive, const UndoOptions& options) {
    std::vector<UndoStep> steps;
    for (StoredUndo& stored : UndoStore(options).recordsOf(archive.identity())) {
        if (steps.empty() && stored.record && stored.record->spent(archive)) {
            continue;  // nothing left to undo: the next undo removes it
        }
        bool undoable = false;
        if (stored.record && steps.empty()) {
            undoable = stored.record->leftAsIs(archive);
        } else if (stored.record && steps.back().undoable) {
            undoable = stored.record->precedes(*steps.back().stored.record);
        }
        steps.push_back({std::move(stored), undoable});
    }
    return steps;
}

namespace {

// A store that is not the user's own offers nothing to undo.
std::vector<StoredUndo> recordsOrNone(const UndoOptions& options, const FileIdentity& archive) {
    try {
        return UndoStore(options).recordsOf(archive);
    } catch (const Failure&) {
        return {};
    }
}

}  // namespace

bool lastSaveUndoable(HeldArchive& archive, const EntryTable& entries, const UndoOptions& options) {
    if (!archive.isOpen()) {
        return false;
    }
    const std::vector<StoredUndo> records = recordsOrNone(options, archive.identity());
    if (records.empty() || !records.front().record) {
        return false;
    }
    const UndoRecord& newest = *records.front().record;
    return newest.after == entries.fingerprint() && newest.journal.listed == entries.count() &&
           newest.directoryAsLeft(archive);
}

}  // namespace undo
}  // namespace xcr
