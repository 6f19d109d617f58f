#ifndef APP_FOLDERREPLACECOMMAND_H
#define APP_FOLDERREPLACECOMMAND_H

#include "archive/session/ArchiveSession.h"
#include "platform/FolderChooser.h"
#include "platform/MessageBox.h"

namespace xcr {

// Replace from folder: asks for a folder, opening on the folder of the last extraction,
// records every file there that matches an entry (see FolderReplacements) as Replace
// records one, and sums up what it recorded and skipped. Nothing is written until a save.
class FolderReplaceCommand {
public:
    FolderReplaceCommand(ArchiveSession& session, FolderChooser& chooser,
                         const FolderChooser& extraction, MessageBox& messages)
        : session_(session), chooser_(chooser), extraction_(extraction), messages_(messages) {}

    // Does nothing before an archive is open; an archive that cannot be read, or a
    // folder that cannot be, fails with the reason before anything is recorded.
    void run(QWidget* parent);

private:
    ArchiveSession& session_;
    FolderChooser& chooser_;
    const FolderChooser& extraction_;
    MessageBox& messages_;
};

}  // namespace xcr

#endif  // APP_FOLDERREPLACECOMMAND_H
