#ifndef APP_FORMSERVICES_H
#define APP_FORMSERVICES_H

#include <memory>

#include "app/ReplacementsDialog.h"
#include "platform/Applications.h"
#include "platform/Beeper.h"
#include "platform/EventPump.h"
#include "platform/FileDialog.h"
#include "platform/FileDrag.h"
#include "platform/FolderChooser.h"
#include "platform/FrameMargins.h"
#include "platform/MessageBox.h"
#include "platform/ScreenArea.h"
#include "platform/SettingsStore.h"
#include "platform/Shell.h"
#include "platform/StatusNote.h"
#include "platform/TickClock.h"
#include "platform/WavePlayer.h"

namespace xcr {

// The desktop services the main window uses, handed in so that tests can replace each
// one. desktopServices() gives the real ones; a new service is a new member here and a
// line there.
struct FormServices {
    std::unique_ptr<FileDialog> OpenDialog1;         // Open XCR; its file name is the archive path
    std::unique_ptr<FileDialog> OpenDialog2;         // Replace
    std::unique_ptr<FileDialog> patchOpenDialog;     // Apply mod patch
    std::unique_ptr<FileDialog> patchSaveDialog;     // Export replacements as mod patch
    std::unique_ptr<FolderChooser> JvBrowseFolder1;  // Extract
    std::unique_ptr<FolderChooser> JvBrowseFolder2;  // Replace from folder
    std::unique_ptr<ReplacementsDialog> replacementsDialog;
    std::unique_ptr<MessageBox> messages;
    std::unique_ptr<Beeper> beeper;
    std::unique_ptr<WavePlayer> JvWavePlayer1;  // synchronous, no looping
    // The About popup's roll-up and its link to the maker's web page.
    std::unique_ptr<ScreenArea> screen;
    std::unique_ptr<TickClock> clock;
    std::unique_ptr<EventPump> pump;
    std::unique_ptr<Shell> shell;
    // The frame around the window, known ahead so that it opens centred by its outer edges.
    std::unique_ptr<FrameMargins> frameMargins;
    // Entries dragged out of the list.
    std::unique_ptr<FileDrag> fileDrag;
    // Entries edited in the user's own programs: opened through the shell or in an
    // application chosen (and remembered per extension), with a note when a copy's edit
    // is taken.
    std::unique_ptr<Applications> applications;
    std::unique_ptr<ApplicationChooser> applicationChooser;
    std::shared_ptr<SettingsStore> settings;
    std::unique_ptr<StatusNote> notes;
};

}  // namespace xcr

#endif  // APP_FORMSERVICES_H
