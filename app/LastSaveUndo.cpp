#include "app/LastSaveUndo.h"

#include "archive/undo/UndoHistory.h"

namespace xcr {

bool LastSaveUndo::applies(const ArchiveSession& session) const {
    HeldArchive archive = HeldArchive::attempt(session.archivePath);
    return lastSaveUndoable(archive, session.entries, options_);
}

UndoRequest LastSaveUndo::request(const ArchiveSession& session) const {
    return {std::make_shared<HeldArchive>(
                HeldArchive::attempt(session.archivePath, HeldArchive::Access::ReadWrite)),
            session.entries, options_};
}

}  // namespace xcr
