#include "app/EntryEditing.h"

#include <sys/stat.h>

#include <QFile>
#include <chrono>
#include <optional>
#include <vector>

#include "archive/jobs/ReplacementSource.h"
#include "archive/os/Failure.h"
#include "platform/FileUriList.h"

namespace xcr {

namespace {

QString pathText(const std::string& path) {
    return QFile::decodeName(path.c_str());
}

std::string folderOf(const std::string& path) {
    return path.substr(0, path.rfind('/'));
}

// The settings key of the application last chosen for files named like `path`: by its
// extension, in lower case, so that "A.BMP" and "b.bmp" share one.
std::string applicationKey(const std::string& path) {
    const std::string name = path.substr(path.rfind('/') + 1);
    const std::size_t dot = name.rfind('.');
    std::string extension = dot == std::string::npos ? "" : name.substr(dot);
    for (char& c : extension) {
        c = c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
    }
    return "open-with/" + (extension.empty() ? std::string("none") : extension);
}

}  // namespace

EntryEditing::EntryEditing(ArchiveSession& session, Desktop desktop, QWidget& list,
                           std::function<bool()> busy, std::string root)
    : session_(session),
      desktop_(desktop),
      list_(list),
      busy_(std::move(busy)),
      root_(std::move(root)) {
    // Copies whose edits their archives hold now are of no more use once they are old.
    sweepEditCopies(root_, std::chrono::system_clock::now());
    settle_.setSingleShot(true);
    settle_.setInterval(kSettleMs);
    connect(&settle_, &QTimer::timeout, this, &EntryEditing::settle);
    // Editors save in place or write a new file and rename it over the old one: the file
    // shows the first, its folder the second.
    connect(&watcher_, &QFileSystemWatcher::fileChanged, this, &EntryEditing::changed);
    connect(&watcher_, &QFileSystemWatcher::directoryChanged, this, &EntryEditing::changed);
}

bool EntryEditing::plan(QWidget* parent, int index, bool askApplication) {
    planned_ = index;
    application_.clear();
    made_ = std::make_shared<EditCopyMade>();
    if (!askApplication) {
        return true;
    }
    const std::string copy =
        EditCopies(root_, session_.archivePath).copyOf(session_.entries, index);
    const std::vector<DesktopApplication> choices = desktop_.applications.forFile(copy);
    const std::string key = applicationKey(copy);
    const std::string remembered = desktop_.settings.value(key);
    int preselected = choices.empty() ? -1 : 0;
    for (std::size_t i = 0; i < choices.size(); ++i) {
        if (choices[i].id == remembered) {
            preselected = static_cast<int>(i);
        }
    }
    const int chosen = desktop_.chooser.choose(parent, pathText(copy.substr(copy.rfind('/') + 1)),
                                               choices, preselected);
    if (chosen < 0 || chosen >= static_cast<int>(choices.size())) {
        return false;
    }
    application_ = choices[static_cast<std::size_t>(chosen)].id;
    desktop_.settings.setValue(key, application_);
    return true;
}

EditCopyRequest EntryEditing::copyRequest(HeldArchive archive) const {
    return {std::move(archive), session_.entries, planned_, EditCopies(root_, session_.archivePath),
            session_.replacements.path(planned_)};
}

void EntryEditing::copyMade(QWidget* parent) {
    const std::string copy = made_->copy;
    if (copy.empty()) {
        return;
    }
    ReplacementTable& replacements = session_.replacements;
    if (made_->written && replacements.isReplaced(planned_) &&
        replacements.path(planned_) == copy) {
        // The copy it named was gone: the fresh one holds the entry's own bytes.
        replacements.remove(planned_);
        emit replacementsChanged();
    }
    // A copy already watched keeps what the watch knows of it; either way it is judged
    // afresh, so a change still settling is not lost to the new opening.
    const auto found = watched_.find(planned_);
    if (found == watched_.end() || found->second.copy != copy) {
        watch(planned_, copy);
    }
    watched_[planned_].pending = true;
    settle_.start();
    if (!made_->setAside.empty()) {
        desktop_.messages.inform(parent, "Your earlier edit of " +
                                             entryName(planned_).toStdString() + " was kept as " +
                                             made_->setAside + ".");
    }
    std::string failure;
    if (application_.empty()) {
        if (!desktop_.shell.open(QString::fromLatin1(fileUriOf(copy).c_str()))) {
            failure = "Cannot open " + copy + ": no application on this desktop opens it";
        }
    } else if (const std::string why = desktop_.applications.launch(application_, copy);
               !why.empty()) {
        failure = "Cannot open " + copy + ": " + why;
    }
    if (!failure.empty()) {
        desktop_.messages.show(parent, failure);
    }
}

void EntryEditing::watch(int index, const std::string& copy) {
    watched_[index] = {copy, seenNow(copy), {}, false};
    watcher_.addPath(pathText(folderOf(copy)));
    watcher_.addPath(pathText(copy));
}

void EntryEditing::rewatch() {
    const QStringList paths = watcher_.files() + watcher_.directories();
    if (!paths.isEmpty()) {
        watcher_.removePaths(paths);
    }
    for (const auto& [index, watched] : watched_) {
        watcher_.addPath(pathText(folderOf(watched.copy)));
        watcher_.addPath(pathText(watched.copy));
    }
}

void EntryEditing::archiveOpened() {
    stopAll();
    if (session_.archivePath.empty()) {
        return;
    }
    const std::vector<std::string> copies =
        EditCopies(root_, session_.archivePath).copies(session_.entries);
    for (std::size_t i = 0; i < copies.size(); ++i) {
        if (seenNow(copies[i]).exists) {
            watch(static_cast<int>(i), copies[i]);
        }
    }
}

bool EntryEditing::settling() {
    bool any = false;
    for (auto& [index, watched] : watched_) {
        // A change the watch has not heard of yet counts too, and is judged as heard.
        if (const Seen now = seenNow(watched.copy); now != watched.seen) {
            watched.seen = now;
            watched.pending = true;
            settle_.start();
        }
        any = any || watched.pending;
    }
    return any;
}

void EntryEditing::stopWatching(int index) {
    watched_.erase(index);
    rewatch();
}

void EntryEditing::stopAll() {
    watched_.clear();
    rewatch();
    settle_.stop();
}

EntryEditing::Seen EntryEditing::seenNow(const std::string& path) {
    struct stat info {};
    if (::lstat(path.c_str(), &info) != 0) {
        return {};
    }
    const auto ns = [](const timespec& time) {
        return static_cast<long long>(time.tv_sec) * 1000000000LL + time.tv_nsec;
    };
    return {true, static_cast<long long>(info.st_ino), static_cast<long long>(info.st_size),
            ns(info.st_ctim), ns(info.st_mtim)};
}

void EntryEditing::changed(const QString& path) {
    const std::string changed = QFile::encodeName(path).toStdString();
    for (auto& [index, watched] : watched_) {
        if (watched.copy == changed || folderOf(watched.copy) == changed) {
            watched.pending = true;
            watched.seen = seenNow(watched.copy);
        }
    }
    settle_.start();
}

void EntryEditing::settle() {
    if (busy_()) {
        settle_.start();  // the archive is being written: judged against what it becomes
        return;
    }
    bool again = false;
    std::vector<int> due;
    for (auto& [index, watched] : watched_) {
        if (!watched.pending) {
            continue;
        }
        const Seen now = seenNow(watched.copy);
        if (now == watched.seen) {
            watched.pending = false;
            due.push_back(index);
        } else {
            watched.seen = now;
            again = true;
        }
    }
    for (const int index : due) {
        if (const auto found = watched_.find(index); found != watched_.end()) {
            judge(index, found->second);
        }
    }
    // A copy renamed over is a new file, which the watch on the old one does not follow.
    for (const auto& [index, watched] : watched_) {
        if (watched.seen.exists && !watcher_.files().contains(pathText(watched.copy))) {
            watcher_.addPath(pathText(watched.copy));
        }
    }
    if (again) {
        settle_.start();
    }
}

void EntryEditing::judge(int index, Watched& watched) {
    ReplacementTable& replacements = session_.replacements;
    const bool replaced = replacements.isReplaced(index);
    const bool ours = replaced && replacements.path(index) == watched.copy;
    if (replaced && !ours) {
        stopWatching(index);  // the user chose another file for the entry since
        return;
    }
    // The copy as it stands, and the file an edit would be recorded as.
    struct Judged {
        CopyState state;
        FileIdentity source;
    };
    std::string failure;
    const auto judged = [&]() -> std::optional<Judged> {
        try {
            HeldArchive archive = HeldArchive::attempt(session_.archivePath);
            if (!archive.isOpen()) {
                throw Failure(archive.failure());
            }
            archive.refuseIfChanged(session_.entries, "comparing an edited copy with it");
            const CopyState state =
                copyState(archive, session_.entries.placement(index), watched.copy);
            return Judged{state, state == CopyState::Edited ? identifyReplacement(watched.copy)
                                                            : FileIdentity{}};
        } catch (const std::exception& caught) {
            failure = caught.what();
            return std::nullopt;
        }
    }();
    if (!judged) {
        desktop_.messages.show(&list_, failure);  // judged again at the copy's next change
        return;
    }
    QString said;
    if (judged->state == CopyState::Edited) {
        if (ours && watched.recorded == watched.seen) {
            return;
        }
        replacements.record(index, watched.copy, judged->source);
        watched.recorded = watched.seen;
        said = QStringLiteral("Recorded the edit of %1. Save XCR writes it.");
    } else {
        watched.recorded = {};
        if (!ours) {
            return;
        }
        replacements.remove(index);
        said = judged->state == CopyState::AsTheEntry
                   ? QStringLiteral("%1 is as in the archive again: it is no longer replaced.")
                   : QStringLiteral("The copy of %1 is gone: the entry is no longer replaced.");
    }
    note(said.arg(entryName(index)));
    emit replacementsChanged();
}

void EntryEditing::note(const QString& text) {
    desktop_.notes.show(list_, text);
}

QString EntryEditing::entryName(int index) const {
    const std::string_view name = session_.entries.displayName(index);
    return QString::fromLatin1(name.data(), static_cast<qsizetype>(name.size()));
}

}  // namespace xcr
