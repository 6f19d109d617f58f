#include "app/DesktopServices.h"

#include "platform/QtBeeper.h"
#include "platform/QtFileDialog.h"
#include "platform/QtFolderChooser.h"
#include "platform/QtMessageBox.h"
#include "platform/SdlWavePlayer.h"

namespace xcr {

FormServices desktopServices() {
    FormServices services;
    services.OpenDialog1 = std::make_unique<QtFileDialog>(
        QStringList{QStringLiteral("XCR files (*.xcr)"), QStringLiteral("All files (*)")},
        QStringLiteral("xcr"));
    services.OpenDialog2 =
        std::make_unique<QtFileDialog>(QStringList{QStringLiteral("All files (*)")}, QString());
    services.JvBrowseFolder1 =
        std::make_unique<QtFolderChooser>(QStringLiteral("Select folder to extract files to"));
    services.messages = std::make_unique<QtMessageBox>();
    services.beeper = std::make_unique<QtBeeper>();
    services.JvWavePlayer1 = std::make_unique<SdlWavePlayer>();
    return services;
}

}  // namespace xcr
