#ifndef APP_ARCHIVEDROP_H
#define APP_ARCHIVEDROP_H

#include <QObject>
#include <functional>
#include <optional>
#include <string>

#include "app/CheckListBox.h"

class QDropEvent;

namespace xcr {

// Files dropped on the window: one .xcr file dropped anywhere opens it as a confirmed
// Open XCR does; one regular file dropped on an entry of the list is recorded as that
// entry's replacement, as a confirmed Replace records it. A file's name is taken as the
// bytes of its URI, never through Unicode. A drop whose command is greyed (the
// File menu or Replace, during a job; no entry under the pointer before an archive is
// open), or a folder or other non-regular file dropped on an entry, is refused, and the
// pointer says so while the drag is over it.
class ArchiveDrop : public QObject {
public:
    struct Commands {
        std::function<bool()> canOpen;
        std::function<void(const std::string&)> open;
        std::function<bool()> canReplace;
        std::function<void(int, const std::string&)> replace;
    };

    ArchiveDrop(QWidget& window, CheckListBox& list, Commands commands);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    struct Target {
        int entry = -1;  // the entry to replace, or -1 to open the file as an archive
        std::string path;
    };
    // What dropping the event's data at its place would do, or nothing when refused.
    std::optional<Target> targetOf(QObject* watched, const QDropEvent& event) const;

    CheckListBox& list_;
    Commands commands_;
};

}  // namespace xcr

#endif  // APP_ARCHIVEDROP_H
