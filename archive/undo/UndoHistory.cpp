#include "archive/undo/UndoHistory.h"

#include <sys/stat.h>

#include "archive/os/Failure.h"

namespace xcr {
inline namespace undo {

std::vector<UndoStep> undoHistory(HeldArchive& archive, const UndoOptions& options) {
    std::vector<UndoStep> steps;
    for (StoredUndo& stored : UndoStore(options).recordsOf(archive.identity())) {
        if (steps.empty() && stored.record && stored.record->spent(archive.file())) {
            continue;  // nothing left to undo: the next undo removes it
        }
        bool undoable = false;
        if (stored.record && steps.empty()) {
            undoable = stored.record->leftAsIs(archive.file());
        } else if (stored.record && steps.back().undoable) {
            undoable = stored.record->precedes(*steps.back().stored.record);
        }
        steps.push_back({std::move(stored), undoable});
    }
    return steps;
}

bool lastSaveUndoable(const std::string& path, const EntryTable& entries,
                      const UndoOptions& options) {
    struct stat info {};
    if (path.empty() || ::stat(path.c_str(), &info) != 0) {
        return false;
    }
    std::vector<StoredUndo> records;
    try {
        records = UndoStore(options).recordsOf(FileIdentity::of(info));
    } catch (const Failure&) {
        return false;  // a store that is not the user's own offers nothing to undo
    }
    if (records.empty() || !records.front().record) {
        return false;
    }
    const UndoRecord& newest = *records.front().record;
    return newest.after == entries.fingerprint() && newest.journal.listed == entries.count() &&
           newest.lengthAfter == info.st_size;
}

}  // namespace undo
}  // namespace xcr
