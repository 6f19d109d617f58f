#include "archive/session/EditCopies.h"

#include <fcntl.h>
#include <stdio.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <exception>
#include <filesystem>
#include <map>
#include <set>

#include "archive/format/Checksum.h"
#include "archive/format/Directory.h"
#include "archive/jobs/ExtractionJob.h"
#include "archive/os/EntryCopy.h"
#include "archive/os/Failure.h"
#include "archive/os/File.h"
#include "archive/os/Folder.h"
#include "archive/os/OutputFolder.h"
#include "archive/os/PrivateFolder.h"
#include "archive/os/SystemCalls.h"
#include "archive/paths/EntryFolderParts.h"
#include "archive/paths/EntryFolders.h"
#include "archive/paths/SafeName.h"

namespace xcr {
inline namespace session {

namespace {

// Folder names stay well within the system's limit of 255 bytes.
constexpr std::size_t kArchiveNameLimit = 200;

std::string hashText(const std::string& text) {
    Checksum checksum;
    checksum.add(text.data(), text.size());
    char digits[17];
    std::snprintf(digits, sizeof digits, "%016llx",
                  static_cast<unsigned long long>(checksum.value()));
    return digits;
}

// The system's limit on one name, in bytes.
constexpr std::size_t kNameLimit = 255;

bool isUtf8(std::string_view text) {
    for (std::size_t i = 0; i < text.size();) {
        const auto lead = static_cast<unsigned char>(text[i]);
        const std::size_t length = lead < 0x80         ? 1
                                   : (lead >> 5) == 6  ? 2
                                   : (lead >> 4) == 14 ? 3
                                   : (lead >> 3) == 30 ? 4
                                                       : 0;
        if (length == 0 || i + length > text.size()) {
            return false;
        }
        for (std::size_t k = 1; k < length; ++k) {
            if ((static_cast<unsigned char>(text[i + k]) & 0xC0) != 0x80) {
                return false;
            }
        }
        i += length;
    }
    return true;
}

// A name as the list shows it, in UTF-8, so that the desktop, the editor and the watch
// all read the copy's path as it is: a name in UTF-8 already stays, any other is read as
// Latin-1, as the list reads it.
std::string utf8Name(std::string_view bytes) {
    if (isUtf8(bytes)) {
        return std::string(bytes);
    }
    std::string text;
    for (const char c : bytes) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x80) {
            text.push_back(c);
        } else {
            text.push_back(static_cast<char>(0xC0 | (byte >> 6)));
            text.push_back(static_cast<char>(0x80 | (byte & 0x3F)));
        }
    }
    return text;
}

// "hills.bmp" with `mark` before its extension: "hills (entry 12).bmp". A long name is cut
// short before the mark, at a character's start, to stay within the system's limit.
std::string withMark(const std::string& name, const std::string& mark) {
    const std::size_t dot = name.rfind('.');
    std::string stem = dot == std::string::npos || dot == 0 ? name : name.substr(0, dot);
    const std::string extension = name.substr(stem.size());
    const std::size_t room = kNameLimit - std::min(kNameLimit, mark.size() + extension.size());
    if (stem.size() > room) {
        std::size_t cut = room;
        while (cut > 0 && (static_cast<unsigned char>(stem[cut]) & 0xC0) == 0x80) {
            --cut;
        }
        stem.resize(cut);
    }
    return stem + mark + extension;
}

// Where an entry's copy lies in the archive's folder: its folder parts and its file name.
struct CopyPlace {
    std::vector<std::string> parts;
    std::string name;  // as extraction takes a display name: made safe when written

    std::string fileName() const { return safeFileName(name).substr(1); }
    std::string folderIn(const std::string& folder) const {
        std::string path = folder;
        for (const std::string& part : parts) {
            path += kPathSeparator + part;
        }
        return path;
    }
    std::string pathIn(const std::string& folder) const {
        return folderIn(folder) + kPathSeparator + fileName();
    }
};

// Every entry's place, in entry order. An entry whose place an earlier one has takes its
// number, and then the next free mark: no two entries ever share a copy, whatever their
// names.
std::vector<CopyPlace> placesOf(const std::string& folder, const EntryTable& entries) {
    std::vector<CopyPlace> places;
    std::set<std::string> taken;
    for (int i = 0; i < entries.count(); ++i) {
        CopyPlace place;
        for (const std::string& part : entryFolderParts(entries.storedName(i))) {
            place.parts.push_back(utf8Name(part));
        }
        place.name = utf8Name(entries.displayName(i));
        places.push_back(std::move(place));
        taken.insert(places.back().pathIn(folder));
    }
    std::set<std::string> given;
    for (int i = 0; i < entries.count(); ++i) {
        CopyPlace& place = places[static_cast<std::size_t>(i)];
        const std::string base = place.name;
        for (int n = 0;; ++n) {
            if (n > 0) {
                place.name = withMark(base, " (entry " + std::to_string(i) +
                                                (n == 1 ? "" : ", " + std::to_string(n)) + ")");
            }
            // A numbered name passes by every entry's own place, taken or not yet.
            const std::string path = place.pathIn(folder);
            if (given.count(path) == 0 && (n == 0 || taken.count(path) == 0)) {
                given.insert(path);
                break;
            }
        }
    }
    return places;
}

// How the file `name` in the folder open as `folderFd` stands to the entry: never
// through a link.
CopyState stateIn(HeldArchive& archive, EntryTable::Placement placement, int folderFd,
                  const std::string& name, const std::string& path) {
    struct stat there {};
    if (::fstatat(folderFd, name.c_str(), &there, AT_SYMLINK_NOFOLLOW) != 0 ||
        !S_ISREG(there.st_mode)) {
        return CopyState::Missing;
    }
    if (there.st_size != placement.size) {
        return CopyState::Edited;
    }
    File file = File::openUnlockedIn(folderFd, name, path);
    return sameRange(archive.file(), placement.offset, file, 0, placement.size)
               ? CopyState::AsTheEntry
               : CopyState::Edited;
}

// Moves the edited copy `name` to a free name beside it, never over another file; on a
// file system that cannot rename without replacing, by a second link to it first.
std::string setAside(int folderFd, const std::string& name, const std::string& folder) {
    for (int n = 1; n < 1000; ++n) {
        const std::string to = withMark(
            name, n == 1 ? " (earlier edit)" : " (earlier edit " + std::to_string(n) + ")");
        int moved = ::renameat2(folderFd, name.c_str(), folderFd, to.c_str(), RENAME_NOREPLACE);
        if (moved != 0 && errno == EINVAL) {
            moved = ::linkat(folderFd, name.c_str(), folderFd, to.c_str(), 0);
            if (moved == 0) {
                ::unlinkat(folderFd, name.c_str(), 0);
            }
        }
        if (moved == 0) {
            return folder + kPathSeparator + to;
        }
        if (errno != EEXIST) {
            break;
        }
    }
    throw Failure("Cannot keep the earlier edit " + folder + kPathSeparator + name + ": " +
                  systemReason());
}

void writeArchiveName(const std::string& path, const std::string& archivePath) {
    struct stat there {};
    if (::lstat(path.c_str(), &there) == 0) {
        return;
    }
    File file = File::open(path, File::Access::Create);
    file.writeAt(0, archivePath.data(), archivePath.size());
}

// The regular files under `folder`, with when they last changed, and its folders, the
// deepest first; no link is followed.
void listCopies(const Folder& folder, const std::string& path,
                std::map<std::string, std::time_t>& files, std::vector<std::string>& folders) {
    for (const std::string& name : folder.names()) {
        const std::string inside = path + kPathSeparator + name;
        const Folder::Kind kind = folder.kindOf(name);
        if (kind == Folder::Kind::Regular) {
            files[inside] = folder.file(name, inside).status().st_mtime;
        } else if (const Folder child =
                       kind == Folder::Kind::Folder ? folder.child(name) : Folder();
                   child.isOpen()) {
            listCopies(child, inside, files, folders);
        }
    }
    folders.push_back(path);
}

// The copies of one archive: those older than `cutoff` that the archive holds go.
void sweepArchiveCopies(const EditCopies& copies, std::time_t cutoff) {
    std::map<std::string, std::time_t> found;
    std::vector<std::string> folders;
    listCopies(Folder::open(copies.folder()), copies.folder(), found, folders);
    const bool anyOld = std::any_of(found.begin(), found.end(),
                                    [cutoff](const auto& copy) { return copy.second < cutoff; });
    if (!anyOld) {
        return;
    }
    HeldArchive archive = HeldArchive::open(copies.archivePath(), HeldArchive::Access::Read);
    archive.refuseIfJournal("sweeping edited copies");
    const EntryTable entries = readEntryTable(archive.file());
    const std::vector<std::string> paths = copies.copies(entries);
    bool removed = false;
    for (int i = 0; i < entries.count(); ++i) {
        const auto copy = found.find(paths[static_cast<std::size_t>(i)]);
        if (copy != found.end() && copy->second < cutoff &&
            copyState(archive, entries.placement(i), copy->first) == CopyState::AsTheEntry) {
            removed = ::unlink(copy->first.c_str()) == 0 || removed;
        }
    }
    // Only the folders this emptied: one that was empty already may be one that another
    // run has just made to write a copy into.
    if (!removed) {
        return;
    }
    for (const std::string& folder : folders) {
        ::rmdir(folder.c_str());  // fails, as it should, for one that holds anything
    }
}

}  // namespace

std::string EditCopies::userRoot() {
    return userFolder("XDG_CACHE_HOME", ".cache") + "/pelloran/edits";
}

EditCopies::EditCopies(std::string root, const std::string& archivePath) : root_(std::move(root)) {
    std::error_code failed;
    const std::filesystem::path absolute = std::filesystem::absolute(archivePath, failed);
    archivePath_ = failed ? archivePath : absolute.lexically_normal().string();
    const std::size_t slash = archivePath_.rfind(kPathSeparator);
    std::string name = archivePath_.substr(slash == std::string::npos ? 0 : slash + 1);
    name.resize(std::min(name.size(), kArchiveNameLimit));
    folder_ = root_ + kPathSeparator + name + "-" + hashText(archivePath_);
}

std::string EditCopies::copyOf(const EntryTable& entries, int index) const {
    return copies(entries).at(static_cast<std::size_t>(index));
}

std::vector<std::string> EditCopies::copies(const EntryTable& entries) const {
    std::vector<std::string> paths;
    for (const CopyPlace& place : placesOf(folder_, entries)) {
        paths.push_back(place.pathIn(folder_));
    }
    return paths;
}

void EditCopies::make() const {
    makePrivateFolder(root_);
    makePrivateFolder(folder_);
    writeArchiveName(folder_ + std::string(kArchiveNameSuffix), archivePath_);
}

CopyState copyState(HeldArchive& archive, EntryTable::Placement placement,
                    const std::string& copy) {
    const std::size_t slash = copy.rfind(kPathSeparator);
    const OutputFolder folder(slash == 0 ? "/" : copy.substr(0, slash));
    return folder.isOpen() ? stateIn(archive, placement, folder.fd(), copy.substr(slash + 1), copy)
                           : CopyState::Missing;
}

JobOutcome runEditCopy(EditCopyRequest request, JobProgress& progress, EditCopyMade& made) {
    HeldArchive& archive = request.archive;
    if (!archive.failure().empty()) {
        return JobOutcome::failed(archive.failure());
    }
    try {
        archive.refuseIfChanged(request.entries, "copying an entry to edit");
        const EditCopies& copies = request.copies;
        copies.make();
        const CopyPlace place =
            placesOf(copies.folder(), request.entries).at(static_cast<std::size_t>(request.index));
        made.copy = place.pathIn(copies.folder());
        // The folders are opened one below the other, never through a link, before
        // anything in them is looked at or moved.
        OutputFolder root(copies.folder());
        EntryFolders folders(root);
        const OutputFolder& folder = folders.folderFor(place.parts);
        const std::string name = place.fileName();
        const CopyState state = stateIn(archive, request.entries.placement(request.index),
                                        folder.fd(), name, made.copy);
        if (state == CopyState::AsTheEntry) {
            // Opened now: no later start takes it for an old copy while it is edited.
            ::utimensat(folder.fd(), name.c_str(), nullptr, AT_SYMLINK_NOFOLLOW);
            return JobOutcome::success();
        }
        if (request.recorded == made.copy && state == CopyState::Edited) {
            return JobOutcome::success();
        }
        if (state == CopyState::Edited) {
            made.setAside = setAside(folder.fd(), name, folder.path());
        }
        progress.setMaximum(0);
        extractEntry(archive, request.entries, request.index, folder, place.name);
        made.written = true;
        progress.setPosition(0);
    } catch (const std::exception& failure) {
        return JobOutcome::failed(failure.what());
    }
    return JobOutcome::success();
}

void sweepEditCopies(const std::string& root, std::chrono::system_clock::time_point now,
                     std::chrono::hours maxAge) {
    const std::time_t cutoff = std::chrono::system_clock::to_time_t(now - maxAge);
    const auto listing = [&root] {
        try {
            return Folder::open(root).names();
        } catch (const Failure&) {
            return std::vector<std::string>();
        }
    }();
    for (const std::string& name : listing) {
        const std::string_view suffix = EditCopies::kArchiveNameSuffix;
        if (name.size() <= suffix.size() ||
            name.compare(name.size() - suffix.size(), suffix.size(), suffix) != 0) {
            continue;
        }
        const std::string sidecar = root + kPathSeparator + name;
        try {
            File file = File::open(sidecar, File::Access::Read);
            std::string archivePath(static_cast<std::size_t>(file.length()), '\0');
            if (file.readAt(0, archivePath.data(), archivePath.size()) != archivePath.size()) {
                continue;
            }
            const EditCopies copies(root, archivePath);
            if (copies.folder() + std::string(suffix) != sidecar) {
                continue;  // not a name this program gave
            }
            if (isOwnFolder(copies.folder())) {
                sweepArchiveCopies(copies, cutoff);
            }
            if (struct stat there{}; ::lstat(copies.folder().c_str(), &there) != 0) {
                ::unlink(sidecar.c_str());
            }
        } catch (const std::exception&) {
            // An archive that cannot be read keeps its copies until a later start.
        }
    }
}

}  // namespace session
}  // namespace xcr
