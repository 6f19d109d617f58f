#include "archive/session/EditCopies.h"

#include <fcntl.h>
#include <stdio.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <exception>
#include <filesystem>
#include <map>
#include <set>

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
    std::uint64_t hash = 14695981039346656037ull;  // 64-bit FNV-1a
    for (const unsigned char c : text) {
        hash = (hash ^ c) * 1099511628211ull;
    }
    char digits[17];
    std::snprintf(digits, sizeof digits, "%016llx", static_cast<unsigned long long>(hash));
    return digits;
}

// "hills.bmp" with `mark` before its extension: "hills (entry 12).bmp".
std::string withMark(const std::string& name, const std::string& mark) {
    const std::size_t dot = name.rfind('.');
    return dot == std::string::npos || dot == 0 ? name + mark
                                                : name.substr(0, dot) + mark + name.substr(dot);
}

// Where entry `index` lies in the archive's folder: its folder parts and its file name.
struct CopyPlace {
    std::vector<std::string> parts;
    std::string name;

    std::string pathIn(const std::string& folder) const {
        std::string path = folder;
        for (const std::string& part : parts) {
            path += kPathSeparator + part;
        }
        return path + safeFileName(name);
    }
};

CopyPlace basePlace(const EntryTable& entries, int index) {
    return {entryFolderParts(entries.storedName(index)), std::string(entries.displayName(index))};
}

CopyPlace numbered(CopyPlace place, int index) {
    place.name = withMark(place.name, " (entry " + std::to_string(index) + ")");
    return place;
}

CopyPlace placeOf(const std::string& folder, const EntryTable& entries, int index) {
    const CopyPlace place = basePlace(entries, index);
    const std::string path = place.pathIn(folder);
    for (int earlier = 0; earlier < index; ++earlier) {
        if (basePlace(entries, earlier).pathIn(folder) == path) {
            return numbered(place, index);
        }
    }
    return place;
}

// Moves the edited copy at `copy` to a free name beside it, never over another file.
std::string setAside(const std::string& copy) {
    const std::size_t slash = copy.rfind(kPathSeparator);
    const std::string folder = copy.substr(0, slash + 1);
    const std::string name = copy.substr(slash + 1);
    for (int n = 1; n < 1000; ++n) {
        const std::string to =
            folder + withMark(name, n == 1 ? " (earlier edit)"
                                           : " (earlier edit " + std::to_string(n) + ")");
        if (::renameat2(AT_FDCWD, copy.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0) {
            return to;
        }
        if (errno != EEXIST) {
            break;
        }
    }
    throw Failure("Cannot keep the earlier edit " + copy + ": " + systemReason());
}

void writeArchiveName(const std::string& path, const std::string& archivePath) {
    struct stat there {};
    if (::lstat(path.c_str(), &there) == 0) {
        return;
    }
    File file = File::open(path, File::Access::Create);
    file.writeAt(0, archivePath.data(), archivePath.size());
}

// The regular files under `folder`, with where they lie and when they last changed.
void listCopies(const Folder& folder, const std::string& path,
                std::map<std::string, std::time_t>& found) {
    for (const std::string& name : folder.names()) {
        const std::string inside = path + kPathSeparator + name;
        switch (folder.kindOf(name)) {
            case Folder::Kind::Regular:
                found[inside] = folder.file(name, inside).status().st_mtime;
                break;
            case Folder::Kind::Folder:
                if (const Folder child = folder.child(name); child.isOpen()) {
                    listCopies(child, inside, found);
                }
                break;
            default:
                break;
        }
    }
}

// Removes the folders under `path` that hold nothing, deepest first, and `path` itself.
void removeEmptyFolders(const std::string& path) {
    std::error_code ignored;
    std::vector<std::string> folders;
    for (auto it = std::filesystem::recursive_directory_iterator(path, ignored);
         it != std::filesystem::recursive_directory_iterator(); it.increment(ignored)) {
        if (it->is_directory(ignored) && !it->is_symlink(ignored)) {
            folders.push_back(it->path().string());
        }
    }
    for (auto it = folders.rbegin(); it != folders.rend(); ++it) {
        ::rmdir(it->c_str());
    }
    ::rmdir(path.c_str());
}

// The copies of one archive: those older than `cutoff` that the archive holds go.
void sweepArchiveCopies(const EditCopies& copies, std::time_t cutoff) {
    std::map<std::string, std::time_t> found;
    listCopies(Folder::open(copies.folder()), copies.folder(), found);
    bool anyOld = false;
    for (const auto& [path, changed] : found) {
        anyOld = anyOld || changed < cutoff;
    }
    if (anyOld) {
        HeldArchive archive = HeldArchive::open(copies.archivePath(), HeldArchive::Access::Read);
        archive.refuseIfJournal("sweeping edited copies");
        const EntryTable entries = readEntryTable(archive.file());
        const std::vector<std::string> paths = copies.copies(entries);
        for (int i = 0; i < entries.count(); ++i) {
            const auto copy = found.find(paths[static_cast<std::size_t>(i)]);
            if (copy != found.end() && copy->second < cutoff &&
                copyState(archive, entries.placement(i), copy->first) == CopyState::AsTheEntry) {
                ::unlink(copy->first.c_str());
            }
        }
    }
    removeEmptyFolders(copies.folder());
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
    return placeOf(folder_, entries, index).pathIn(folder_);
}

std::vector<std::string> EditCopies::copies(const EntryTable& entries) const {
    std::vector<std::string> paths;
    std::set<std::string> taken;
    for (int i = 0; i < entries.count(); ++i) {
        std::string path = basePlace(entries, i).pathIn(folder_);
        if (!taken.insert(path).second) {
            path = numbered(basePlace(entries, i), i).pathIn(folder_);
        }
        paths.push_back(std::move(path));
    }
    return paths;
}

void EditCopies::make() const {
    makePrivateFolder(root_);
    if (systemCalls().mkdir(folder_.c_str(), 0700) != 0 && errno != EEXIST) {
        throw Failure("Cannot create folder " + folder_ + ": " + systemReason());
    }
    writeArchiveName(folder_ + std::string(kArchiveNameSuffix), archivePath_);
}

CopyState copyState(HeldArchive& archive, EntryTable::Placement placement,
                    const std::string& copy) {
    struct stat there {};
    if (::lstat(copy.c_str(), &there) != 0 || !S_ISREG(there.st_mode)) {
        return CopyState::Missing;
    }
    if (there.st_size != placement.size) {
        return CopyState::Edited;
    }
    File file = File::open(copy, File::Access::Read);
    return sameRange(archive.file(), placement.offset, file, 0, placement.size)
               ? CopyState::AsTheEntry
               : CopyState::Edited;
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
        const CopyPlace place = placeOf(copies.folder(), request.entries, request.index);
        made.copy = place.pathIn(copies.folder());
        const CopyState state =
            copyState(archive, request.entries.placement(request.index), made.copy);
        if (state == CopyState::AsTheEntry || (request.inUse && state == CopyState::Edited)) {
            return JobOutcome::success();
        }
        if (state == CopyState::Edited) {
            made.setAside = setAside(made.copy);
        }
        progress.setMaximum(0);
        OutputFolder root(copies.folder());
        EntryFolders folders(root);
        extractEntry(archive, request.entries, request.index,
                     folders.folderFor(request.entries.storedName(request.index)), place.name);
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
            struct stat there {};
            if (::lstat(copies.folder().c_str(), &there) == 0) {
                sweepArchiveCopies(copies, cutoff);
            }
            if (::lstat(copies.folder().c_str(), &there) != 0) {
                ::unlink(sidecar.c_str());
            }
        } catch (const std::exception&) {
            // An archive that cannot be read keeps its copies until a later start.
        }
    }
}

}  // namespace session
}  // namespace xcr
