#ifndef APP_MODPATCHCOMMAND_H
#define APP_MODPATCHCOMMAND_H

#include <memory>

#include "archive/os/OutputFolder.h"
#include "archive/session/ArchiveSession.h"
#include "platform/FileDialog.h"
#include "platform/MessageBox.h"

class QWidget;

namespace xcr {

// Apply mod patch… and Export replacements as mod patch…. Applying checks the whole patch
// against the open archive and, when it fits, records its entries as replacements, their
// bytes kept in a folder of the run's staging folder until they are dropped; nothing is
// written to the archive until a save. Exporting writes the recorded replacements,
// against the archive as it is on disk, as a patch.
class ModPatchCommand {
public:
    ModPatchCommand(ArchiveSession& session, FileDialog& openDialog, FileDialog& saveDialog,
                    MessageBox& messages)
        : session_(session), open_(openDialog), save_(saveDialog), messages_(messages) {}
    ModPatchCommand(const ModPatchCommand&) = delete;
    ModPatchCommand& operator=(const ModPatchCommand&) = delete;

    // Both do nothing before an archive is open, and fail with the reason, recording or
    // writing nothing, for an archive that cannot be read or changed since it was listed,
    // or a patch that is damaged or does not fit.
    void apply(QWidget* parent);
    void exportReplacements(QWidget* parent);
    // Tells how to apply the patch at `path` and makes Apply mod patch… open on its folder.
    void offer(QWidget* parent, const std::string& path);
    // Deletes the patch bytes of every replacement no longer recorded, or of all when
    // the window goes.
    void sweep(bool all = false);

private:
    HeldArchive heldListed(const std::string& doing);
    const OutputFolder& stagingFolder();

    ArchiveSession& session_;
    FileDialog& open_;
    FileDialog& save_;
    MessageBox& messages_;
    std::unique_ptr<OutputFolder> staged_;
};

}  // namespace xcr

#endif  // APP_MODPATCHCOMMAND_H
