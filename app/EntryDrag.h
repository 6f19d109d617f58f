#ifndef APP_ENTRYDRAG_H
#define APP_ENTRYDRAG_H

#include <string>
#include <vector>

#include "archive/ArchiveSession.h"
#include "archive/JobProgress.h"

class QWidget;

namespace xcr {

// Dragging entries out of the list to a file manager. A drag carries the checked entries
// when the dragged one is checked, else that one. They are written by the program's own
// extraction (never through a link, the progress bar moving) into a fresh private folder
// of the system's temporary folder, and the drag hands those files to the file manager,
// which copies them where they are dropped. The folders go when this does, at the end
// of the run, once every drop has long been taken.
class EntryDrag {
public:
    EntryDrag(const ArchiveSession& session, JobProgress& progress)
        : session_(session), progress_(progress) {}
    EntryDrag(const EntryDrag&) = delete;
    EntryDrag& operator=(const EntryDrag&) = delete;
    ~EntryDrag();

    // Writes what dragging entry `row` carries and gives the files, one a file name, in
    // entry order. Fails with the extraction's reason.
    std::vector<std::string> extract(int row);
    // Writes them and drags them from `source` until they are dropped or the drag ends.
    void start(int row, QWidget* source);

private:
    const ArchiveSession& session_;
    JobProgress& progress_;
    std::vector<std::string> folders_;
};

}  // namespace xcr

#endif  // APP_ENTRYDRAG_H
