#include "app/ArchiveDrop.h"

#include <QDropEvent>
#include <QFile>
#include <QMimeData>

namespace xcr {

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
    const QList<QUrl> urls = event.mimeData()->urls();
    if (event.source() != nullptr || urls.size() != 1 || !urls.front().isLocalFile()) {
        return std::nullopt;
    }
    const QString file = urls.front().toLocalFile();
    const std::string path = QFile::encodeName(file).toStdString();
    if (watched == list_.viewport()) {
        const int entry = list_.indexAt(event.position().toPoint()).row();
        if (entry >= 0) {
            return commands_.canReplace() ? std::optional<Target>({entry, path}) : std::nullopt;
        }
    }
    if (file.endsWith(QStringLiteral(".xcr"), Qt::CaseInsensitive) && commands_.canOpen()) {
        return Target{-1, path};
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
                              drag->mimeData()->hasUrls();
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
