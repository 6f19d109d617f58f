#ifndef APP_ENTRYEDITING_H
#define APP_ENTRYEDITING_H

#include <QFileSystemWatcher>
#include <QObject>
#include <QTimer>
#include <functional>
#include <map>
#include <memory>
#include <string>

#include "archive/session/ArchiveSession.h"
#include "archive/session/EditCopies.h"
#include "platform/Applications.h"
#include "platform/MessageBox.h"
#include "platform/SettingsStore.h"
#include "platform/Shell.h"
#include "platform/StatusNote.h"

class QWidget;

namespace xcr {

// Editing an entry in the user's own programs. The entry is copied into its archive's
// folder of edit copies and opened there; the copy is then watched, and once it has
// changed and stayed unchanged for a moment it is recorded as the entry's replacement, so
// that saving in the editor and then Save XCR is all it takes. A copy whose bytes are the
// entry's own again, or that is gone, takes back the replacement it made.
class EntryEditing : public QObject {
    Q_OBJECT
public:
    struct Desktop {
        Shell& shell;
        Applications& applications;
        ApplicationChooser& chooser;
        SettingsStore& settings;
        StatusNote& notes;
        MessageBox& messages;
    };
    // How long a changed copy must stay unchanged: editors write a file in several steps.
    static constexpr int kSettleMs = 500;

    // `busy` tells when a job holds the archive: a change is judged once it has ended.
    // Notes are shown by `list`. Old copies of `root` that their archives hold are
    // removed first.
    EntryEditing(ArchiveSession& session, Desktop desktop, QWidget& list,
                 std::function<bool()> busy, std::string root = EditCopies::userRoot());

    // Chooses how entry `index` is to be opened: in the desktop's default application, or
    // (`askApplication`) in one the user picks, which is remembered for the extension.
    // False when the user cancels.
    bool plan(QWidget* parent, int index, bool askApplication);
    // The copy of the planned entry, for a job to make.
    EditCopyRequest copyRequest(HeldArchive archive) const;
    // What the job made; read once it has ended.
    const std::shared_ptr<EditCopyMade>& made() const { return made_; }
    // Once the job has made the copy: watches it and opens it as planned. A copy that
    // cannot be opened is said in one message.
    void copyMade(QWidget* parent);

    // An archive was opened, or read again after an undo: the watch turns to the copies
    // of its entries that lie in its folder, so that an editor still open on one is heard.
    void archiveOpened();
    // A copy has changed and not yet settled: its edit is still being written.
    bool settling();
    // The copy of entry `index` is no longer watched (its replacement was forgotten).
    void stopWatching(int index);
    // No copy is watched any more.
    void stopAll();
    bool isWatching(int index) const { return watched_.count(index) != 0; }

signals:
    // A copy was recorded as its entry's replacement, or its replacement was dropped.
    void replacementsChanged();

private:
    // The state of a file that tells a change: gone, or its inode, size and times.
    struct Seen {
        bool exists = false;
        long long inode = 0, size = 0, changedNs = 0, modifiedNs = 0;
        bool operator==(const Seen&) const = default;
    };
    struct Watched {
        std::string copy;
        Seen seen;      // as at the last change noticed
        Seen recorded;  // as when it was last recorded as the replacement
        bool pending = false;
    };

    static Seen seenNow(const std::string& path);
    void watch(int index, const std::string& copy);
    // Gives the watcher exactly the copies watched and their folders.
    void rewatch();
    void changed(const QString& path);
    void settle();
    void judge(int index, Watched& watched);
    void note(const QString& text);
    QString entryName(int index) const;

    ArchiveSession& session_;
    Desktop desktop_;
    QWidget& list_;
    std::function<bool()> busy_;
    std::string root_;
    int planned_ = -1;
    std::string application_;  // empty for the desktop's default
    std::shared_ptr<EditCopyMade> made_;
    std::map<int, Watched> watched_;
    QFileSystemWatcher watcher_;
    QTimer settle_;
};

}  // namespace xcr

#endif  // APP_ENTRYEDITING_H
