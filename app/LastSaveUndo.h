#ifndef APP_LASTSAVEUNDO_H
#define APP_LASTSAVEUNDO_H

#include "archive/jobs/UndoJob.h"
#include "archive/session/ArchiveSession.h"

namespace xcr {

// The File menu's Undo last save: whether it applies to the archive the window lists, and
// the job that undoes it.
class LastSaveUndo {
public:
    explicit LastSaveUndo(UndoOptions options = {}) : options_(std::move(options)) {}

    // The listed archive is exactly as its newest recorded save left it.
    bool applies(const ArchiveSession& session) const;
    UndoRequest request(const ArchiveSession& session) const;

private:
    UndoOptions options_;
};

}  // namespace xcr

#endif  // APP_LASTSAVEUNDO_H
