#include "archive/undo/UndoStore.h"

#include <dirent.h>
#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cinttypes>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <memory>

#include "archive/os/ArchiveFolder.h"
#include "archive/os/Failure.h"
#include "archive/os/PrivateFolder.h"
#include "archive/os/SystemCalls.h"

namespace xcr {
inline namespace undo {

namespace {

constexpr const char* kSuffix = ".undo";
// A record being written: it takes its name once it is complete, so that one cut off is
// never listed. Before this end stands the number of the process writing it.
constexpr const char* kPartSuffix = ".part";

// "-device-inode.undo": how every record of one archive ends.
std::string archiveSuffix(const FileIdentity& archive) {
    return "-" + std::to_string(archive.device) + "-" + std::to_string(archive.inode) + kSuffix;
}

bool endsWith(const std::string& text, const std::string& end) {
    return text.size() >= end.size() &&
           text.compare(text.size() - end.size(), end.size(), end) == 0;
}

// Whether the process that writes the part `name` is gone (or the name says no process).
bool writerGone(const std::string& name) {
    const std::string base = name.substr(0, name.size() - std::strlen(kPartSuffix));
    const std::string digits = base.substr(base.rfind('.') + 1);
    if (digits.empty() || digits.find_first_not_of("0123456789") != std::string::npos ||
        digits.size() > 9) {
        return true;
    }
    const auto pid = static_cast<pid_t>(std::stol(digits));
    return pid != ::getpid() && ::kill(pid, 0) != 0 && errno == ESRCH;
}

// The names in the store that end with `end`, oldest first, with their sizes.
std::map<std::string, std::int64_t> listFiles(const std::string& folder, const std::string& end) {
    std::map<std::string, std::int64_t> files;
    const std::unique_ptr<DIR, int (*)(DIR*)> listing(::opendir(folder.c_str()), ::closedir);
    if (!listing) {
        return files;
    }
    while (const dirent* entry = ::readdir(listing.get())) {
        const std::string name = entry->d_name;
        struct stat info {};
        if (endsWith(name, end) &&
            ::fstatat(::dirfd(listing.get()), name.c_str(), &info, AT_SYMLINK_NOFOLLOW) == 0 &&
            S_ISREG(info.st_mode)) {
            files[name] = info.st_size;
        }
    }
    return files;
}

}  // namespace

UndoStore::UndoStore(UndoOptions options)
    : folder_(options.folder.empty()
                  ? userFolder("XDG_STATE_HOME", ".local/state") + "/pelloran/undo"
                  : options.folder),
      options_(std::move(options)) {}

std::string UndoStore::begin(File& archive, const std::vector<ByteRange>& kept,
                             const journal::Header& header,
                             const std::vector<unsigned char>& plannedFields) const {
    makePrivateFolder(folder_);
    const ArchiveFolder folder = openFolder();
    sweepParts(folder);
    const auto now = std::chrono::duration_cast<std::chrono::nanoseconds>(
                         std::chrono::system_clock::now().time_since_epoch())
                         .count();
    // Two saves within one nanosecond take the next free name.
    std::string name;
    for (std::int64_t stamp = now;; ++stamp) {
        char digits[24];
        std::snprintf(digits, sizeof digits, "%020" PRId64, stamp);
        name = digits + archiveSuffix(header.archive);
        if (!folder.entry(name) && !folder.entry(partOf(name))) {
            break;
        }
    }
    try {
        // Flushed once, with its facts, when the save completes it.
        journal::SaveJournal record = journal::SaveJournal::create(
            folder, partOf(name), header, journal::SaveJournal::Flush::ByOwner);
        for (const ByteRange& range : kept) {
            record.keep(archive, range.position, range.size);
        }
        record.commit(header, plannedFields);
    } catch (...) {
        removeQuietly(name);
        throw;
    }
    return name;
}

void UndoStore::complete(const std::string& name, const UndoRecord& facts) const {
    try {
        const std::string part = folder_ + "/" + partOf(name);
        File record = File::open(part, File::Access::ReadWrite);
        const std::vector<unsigned char> bytes = facts.encodeFacts();
        record.writeAt(record.length(), bytes.data(), bytes.size());
        record.sync();
        record.close();
        if (systemCalls().rename(part.c_str(), (folder_ + "/" + name).c_str()) != 0) {
            throw Failure("Cannot rename " + part + ": " + systemReason());
        }
        openFolder().sync();
        dropUnreachable(name, facts);
        prune(name);
    } catch (...) {
        removeQuietly(name);
        throw;
    }
}

void UndoStore::removeQuietly(const std::string& name) const {
    try {
        remove(partOf(name));
        remove(name);
    } catch (const Failure&) {
        // Left to the limits.
    }
}

std::string UndoStore::partOf(const std::string& name) const {
    return name + "." + std::to_string(::getpid()) + kPartSuffix;
}

ArchiveFolder UndoStore::openFolder() const {
    struct stat info {};
    if (::lstat(folder_.c_str(), &info) != 0) {
        throw Failure("Cannot open folder " + folder_ + ": " + systemReason());
    }
    const char* refused = S_ISLNK(info.st_mode)        ? "it is a link"
                          : !S_ISDIR(info.st_mode)     ? "it is not a folder"
                          : info.st_uid != ::geteuid() ? "it belongs to another user"
                                                       : nullptr;
    ArchiveFolder folder;
    if (refused == nullptr) {
        folder = ArchiveFolder::open(folder_, folder_);
        refused = folder.identity() == FileIdentity::of(info) ? nullptr : "it was just replaced";
    }
    if (refused != nullptr) {
        throw Failure("The undo folder " + folder_ + " is not used: " + refused);
    }
    return folder;
}

void UndoStore::sweepParts(const ArchiveFolder& folder) const {
    for (const auto& [name, size] : listFiles(folder_, kPartSuffix)) {
        if (writerGone(name)) {
            try {
                folder.remove(name);
            } catch (const Failure&) {
                // Counted by the limits until a later use removes it.
            }
        }
    }
}

int UndoStore::retire(const FileIdentity& archive) const {
    int removed = 0;
    for (const StoredUndo& stored : recordsOf(archive)) {
        try {
            remove(stored.name);
            ++removed;
        } catch (const Failure&) {
        }
    }
    return removed;
}

// An undo always takes the archive's newest record, so the records newer than the one
// whose save left the archive as this save found it can never be applied again: saves put
// back after a crash, and every record once another program changed the archive.
void UndoStore::dropUnreachable(const std::string& added, const UndoRecord& facts) const {
    for (const StoredUndo& older : recordsOf(facts.journal.archive)) {
        if (older.name == added) {
            continue;
        }
        if (older.record && older.record->precedes(facts)) {
            return;
        }
        removeQuietly(older.name);
    }
}

void UndoStore::prune(const std::string& added) const {
    const std::map<std::string, std::int64_t> records = listFiles(folder_, kSuffix);
    const std::string own = added.substr(added.find('-'));
    std::int64_t total = 0;
    // Parts take room too: those of saves under way, and any a crash left that could not
    // be removed.
    for (const auto& [name, size] : listFiles(folder_, kPartSuffix)) {
        total += size;
    }
    int ofArchive = 0;
    for (const auto& [name, size] : records) {
        total += size;
        ofArchive += endsWith(name, own) ? 1 : 0;
    }
    bool addedDropped = false;
    for (const auto& [name, size] : records) {
        const bool mine = endsWith(name, own);
        if (total <= options_.totalBytes && (!mine || ofArchive <= options_.savesPerArchive)) {
            continue;
        }
        remove(name);
        total -= size;
        ofArchive -= mine ? 1 : 0;
        addedDropped = addedDropped || name == added;
    }
    if (addedDropped) {
        throw Failure("its undo record of " + std::to_string(records.at(added)) +
                      " bytes does not fit within the " + std::to_string(options_.totalBytes) +
                      " bytes the undo records may take");
    }
}

std::vector<StoredUndo> UndoStore::recordsOf(const FileIdentity& archive) const {
    std::vector<StoredUndo> found;
    struct stat info {};
    if (::lstat(folder_.c_str(), &info) != 0 && errno == ENOENT) {
        return found;  // no save was ever recorded
    }
    const ArchiveFolder folder = openFolder();
    sweepParts(folder);
    const std::string suffix = archiveSuffix(archive);
    for (const auto& [name, size] : listFiles(folder_, kSuffix)) {
        if (!endsWith(name, suffix)) {
            continue;
        }
        StoredUndo stored{name, size, std::nullopt, {}};
        try {
            File record = openIn(folder, name);
            stored.record = UndoRecord::read(record);
            if (!stored.record) {
                stored.problem = "it is damaged or cut off";
            }
        } catch (const Failure& failure) {
            stored.problem = failure.what();
        }
        found.push_back(std::move(stored));
    }
    std::reverse(found.begin(), found.end());
    return found;
}

File UndoStore::open(const std::string& name) const {
    return openIn(openFolder(), name);
}

File UndoStore::openIn(const ArchiveFolder& folder, const std::string& name) const {
    File record = folder.openForReading(name);
    if (record.status().st_uid != ::geteuid()) {
        throw Failure(cannotOpenText(record.path(), "it belongs to another user"));
    }
    return record;
}

void UndoStore::remove(const std::string& name) const {
    const ArchiveFolder folder = openFolder();
    folder.remove(name);
    folder.sync();
}

}  // namespace undo
}  // namespace xcr
