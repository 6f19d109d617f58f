#include "app/DesktopServices.h"

#include "app/QtReplacementsDialog.h"
#include "app/RememberingFileDialog.h"
#include "app/RememberingFolderChooser.h"
#include "platform/DesktopShell.h"
#include "platform/GioApplications.h"
#include "platform/PrimaryScreenArea.h"
#include "platform/QtApplicationChooser.h"
#include "platform/QtBeeper.h"
#include "platform/QtEventPump.h"
#include "platform/QtFileDialog.h"
#include "platform/QtFileDrag.h"
#include "platform/QtFolderChooser.h"
#include "platform/QtMessageBox.h"
#include "platform/QtSettingsStore.h"
#include "platform/SdlWavePlayer.h"
#include "platform/SteadyTickClock.h"
#include "platform/ToolTipNote.h"
#include "platform/X11FrameMargins.h"

namespace xcr {

FormServices desktopServices() {
    FormServices services;
    // The folders last used in Open XCR, Extract and Replace from folder outlast the run.
    const auto store = std::make_shared<QtSettingsStore>();
    services.OpenDialog1 = std::make_unique<RememberingFileDialog>(
        std::make_unique<QtFileDialog>(
            QStringList{QStringLiteral("XCR files (*.xcr)"), QStringLiteral("All files (*)")},
            QStringLiteral("xcr")),
        store, "folders/open");
    services.OpenDialog2 =
        std::make_unique<QtFileDialog>(QStringList{QStringLiteral("All files (*)")}, QString());
    const QStringList patches = {QStringLiteral("Mod patches (*.xcrpatch)"),
                                 QStringLiteral("All files (*)")};
    services.patchOpenDialog = std::make_unique<QtFileDialog>(patches, QStringLiteral("xcrpatch"));
    services.patchSaveDialog = std::make_unique<QtFileDialog>(patches, QStringLiteral("xcrpatch"),
                                                              QtFileDialog::Purpose::Save);
    services.JvBrowseFolder1 = std::make_unique<RememberingFolderChooser>(
        std::make_unique<QtFolderChooser>(QStringLiteral("Select folder to extract files to")),
        store, "folders/extract");
    services.JvBrowseFolder2 = std::make_unique<RememberingFolderChooser>(
        std::make_unique<QtFolderChooser>(
            QStringLiteral("Select folder of files to replace entries with")),
        store, "folders/replace");
    services.replacementsDialog = std::make_unique<QtReplacementsDialog>();
    services.messages = std::make_unique<QtMessageBox>();
    services.beeper = std::make_unique<QtBeeper>();
    services.JvWavePlayer1 = std::make_unique<SdlWavePlayer>();
    services.screen = std::make_unique<PrimaryScreenArea>();
    services.clock = std::make_unique<SteadyTickClock>();
    services.pump = std::make_unique<QtEventPump>();
    services.shell = std::make_unique<DesktopShell>();
    services.frameMargins = std::make_unique<X11FrameMargins>();
    services.fileDrag = std::make_unique<QtFileDrag>();
    services.applications = std::make_unique<GioApplications>();
    services.applicationChooser = std::make_unique<QtApplicationChooser>();
    services.settings = store;
    services.notes = std::make_unique<ToolTipNote>();
    return services;
}

}  // namespace xcr
