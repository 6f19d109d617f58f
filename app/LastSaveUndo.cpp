#include "app/LastSaveUndo.h"

#include "archive/undo/UndoHistory.h"

namespace xcr {

bool LastSaveUndo::applies(const ArchiveSession& session) const {
    return lastSaveUndoable(session.archivePath, session.entries, options_);
}

UndoRequest LastSaveUndo::request(const ArchiveSession& session) const {
    return {session.archivePath, session.entries, options_};
}

}  // namespace xcr
