#include "app/ArchiveDrop.h"

#include <sys/stat.h>

#include <QDropEvent>
#include <QMimeData>

#include "platform/FileUriList.h"

namespace xcr {

namespace {

const QString kUriList = QStringLiteral("text/uri-list");

// The one local file a drop carries, its name as the bytes the sender wrote.
std::optional<std::string> droppedFile(const QMimeData& data) {
    const QByteArray list = data.data(kUriList);
    const std::vector<std::string> uris = urisIn(std::string_view(list.constData(), list.size()));
    return uris.size() == 1 ? localPathOf(uris.front()) : std::nullopt;
}

// A link is followed: the user chose the file, as one chosen in the Replace dialog.
bool isRegularFile(const std::string& path) {
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

bool hasArchiveSuffix(const std::string& path) {
    // ASCII case only: the program's locale must not change which names open.
    return QByteArray::fromStdString(path).toLower().endsWith(".xcr");
}

}  // namespace

ArchiveDrop::ArchiveDrop(QWidget& window, CheckListBox& list, Commands commands)
    : QObject(&window), list_(list), commands_(std::move(commands)) {
    window.setAcceptDrops(true);
    list_.viewport()->setAcceptDrops(true);
    window.installEventFilter(this);
    list_.viewport()->installEventFilter(this);
}

std::optional<ArchiveDrop::Target> ArchiveDrop::targetOf(QObject* watched,
                                                         const QDropEvent& event) const {
    // Entries dragged out of the list come from this program and are no file to take.
    const std::optional<std::string> path =
        event.source() == nullptr ? droppedFile(*event.mimeData()) : std::nullopt;
    if (!path) {
        return std::nullopt;
    }
    if (watched == list_.viewport()) {
        const int entry = list_.indexAt(event.position().toPoint()).row();
        if (entry >= 0) {
            // A folder or a device would only be refused by the save, long after.
            return commands_.canReplace() && isRegularFile(*path)
                       ? std::optional<Target>({entry, *path})
                       : std::nullopt;
        }
    }
    if (hasArchiveSuffix(*path) && commands_.canOpen()) {
        return Target{-1, *path};
    }
    return std::nullopt;
}

bool ArchiveDrop::eventFilter(QObject* watched, QEvent* event) {
    switch (event->type()) {
        case QEvent::DragEnter:
        case QEvent::DragMove: {
            auto* drag = static_cast<QDragMoveEvent*>(event);
            // Over the list a drag may reach an entry later, so it is let in and judged
            // at each move.
            const bool list = watched == list_.viewport() && event->type() == QEvent::DragEnter &&
                              drag->mimeData()->hasFormat(kUriList);
            if (list || targetOf(watched, *drag)) {
                drag->acceptProposedAction();
            } else {
                drag->ignore();
            }
            return true;
        }
        case QEvent::Drop: {
            auto* drop = static_cast<QDropEvent*>(event);
            const std::optional<Target> target = targetOf(watched, *drop);
            if (!target) {
                drop->ignore();
                return true;
            }
            drop->acceptProposedAction();
            // Carried out once the drop has been answered, so that a message shown by the
            // command does not keep the program the file came from waiting; a job started
            // in between greys the command again.
            QMetaObject::invokeMethod(
                this,
                [this, target = *target] {
                    if (target.entry < 0 && commands_.canOpen()) {
                        commands_.open(target.path);
                    } else if (target.entry >= 0 && commands_.canReplace()) {
                        commands_.replace(target.entry, target.path);
                    }
                },
                Qt::QueuedConnection);
            return true;
        }
        default:
            return false;
    }
}

}  // namespace xcr
