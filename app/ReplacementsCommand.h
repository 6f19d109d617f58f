#ifndef APP_REPLACEMENTSCOMMAND_H
#define APP_REPLACEMENTSCOMMAND_H

#include "app/ReplacementsDialog.h"
#include "archive/session/ArchiveSession.h"

namespace xcr {

// Replacements…: lists every recorded replacement with its entry's size and its file's,
// and forgets those the user removes, so that the next save leaves their entries alone.
class ReplacementsCommand {
public:
    ReplacementsCommand(ArchiveSession& session, ReplacementsDialog& dialog)
        : session_(session), dialog_(dialog) {}

    // True when a replacement was removed.
    bool run(QWidget* parent);

private:
    ArchiveSession& session_;
    ReplacementsDialog& dialog_;
};

}  // namespace xcr

#endif  // APP_REPLACEMENTSCOMMAND_H
