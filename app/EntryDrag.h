#ifndef APP_ENTRYDRAG_H
#define APP_ENTRYDRAG_H

#include <string>
#include <vector>

#include "archive/os/StagingFolder.h"
#include "archive/session/ArchiveSession.h"
#include "platform/FileDrag.h"

class QWidget;

namespace xcr {

// Dragging entries out of the list to a file manager. A drag carries the checked entries
// when the dragged one is checked, else that one. They are written by the program's own
// extraction (never through a link), run as a job, into a fresh subfolder of the run's
// drag folder, and the drag hands those files to the file manager, which copies them
// where they are dropped. The drag folder is locked for the run like the staging folder,
// so that a start sweeps away one that a killed run left; it goes when this does, at the
// end of the run, once every drop has long been taken.
class EntryDrag {
public:
    static constexpr std::string_view kFolderPrefix = "pelloran-drag-";

    // Sweeps the drag folders of ended runs from `parent` and makes this run's there.
    EntryDrag(const ArchiveSession& session, FileDrag& desktop,
              const std::string& parent = systemTempFolder());
    EntryDrag(const EntryDrag&) = delete;
    EntryDrag& operator=(const EntryDrag&) = delete;
    ~EntryDrag();

    // The extraction of what dragging entry `row` carries, into a fresh folder; its
    // files wait for handOver(). Throws xcr::Failure when no folder can be made.
    ExtractionRequest prepare(int row);
    // Drags the files the last extraction wrote from `source`, in entry order. Only
    // while the button is still held: a drag begun after the release would follow the
    // pointer until the next click and drop the files wherever that happens to be. A
    // button released during the extraction thus drops nothing, as a drag let go
    // before it left the list does.
    void handOver(QWidget& source);

private:
    const ArchiveSession& session_;
    FileDrag& desktop_;
    StagingFolder folder_;
    std::vector<std::string> files_;
};

}  // namespace xcr

#endif  // APP_ENTRYDRAG_H
