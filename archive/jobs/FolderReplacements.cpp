#include "archive/jobs/FolderReplacements.h"

#include <sys/stat.h>

#include <algorithm>
#include <cstring>
#include <map>
#include <set>

#include "archive/os/Failure.h"
#include "archive/os/Folder.h"
#include "archive/paths/EntryFolderParts.h"
#include "archive/paths/SafeName.h"
#include "archive/store/HeldArchive.h"

namespace xcr {
inline namespace jobs {

namespace {

constexpr std::size_t kCompareBufferSize = 1 << 16;
constexpr std::size_t kNamesShown = 5;

using Kind = Folder::Kind;

// The file `name` under the folders `parts` of `root`, reached one part at a time and
// never through a link: a downloaded folder must not bring in a file from elsewhere.
// Gives the file open, or says why there is none (Missing, Link or Other).
struct Found {
    Kind kind = Kind::Missing;
    File file;
};

Found findUnder(const Folder& root, const std::vector<std::string>& parts, const std::string& name,
                const std::string& path) {
    Folder below;
    const Folder* at = &root;
    for (const std::string& part : parts) {
        const Kind kind = at->kindOf(part);
        if (kind != Kind::Folder) {
            return {kind == Kind::Link ? Kind::Link : Kind::Missing, {}};
        }
        below = at->child(part);  // the folder before is closed as this one takes its place
        if (!below.isOpen()) {
            return {Kind::Missing, {}};  // one that cannot be read
        }
        at = &below;
    }
    const Kind kind = at->kindOf(name);
    if (kind != Kind::Regular) {
        return {kind == Kind::Folder ? Kind::Other : kind, {}};
    }
    File file = at->file(name, path);
    if (file.madeUpBySystem()) {
        return {Kind::Other, {}};
    }
    return {Kind::Regular, std::move(file)};
}

bool sameBytes(File& file, File& archive, EntryTable::Placement placement) {
    std::vector<char> ours(kCompareBufferSize), theirs(kCompareBufferSize);
    for (std::int64_t at = 0; at < placement.size;) {
        const auto want = static_cast<std::size_t>(
            std::min<std::int64_t>(placement.size - at, kCompareBufferSize));
        const std::size_t read = file.readAt(at, ours.data(), want);
        if (read != want || archive.readAt(placement.offset + at, theirs.data(), want) != want ||
            std::memcmp(ours.data(), theirs.data(), want) != 0) {
            return false;
        }
        at += static_cast<std::int64_t>(want);
    }
    return true;
}

std::string listed(const std::vector<std::string>& names,
                   const FolderReplacements::ShownName& shown) {
    std::string text;
    for (std::size_t i = 0; i < names.size() && i < kNamesShown; ++i) {
        text += (i == 0 ? "" : ", ") + shown(names[i]);
    }
    if (names.size() > kNamesShown) {
        text += " and " + std::to_string(names.size() - kNamesShown) + " more";
    }
    return text;
}

std::string counted(std::size_t count, const std::string& one, const std::string& many) {
    return std::to_string(count) + " " + (count == 1 ? one : many);
}

// The names in the folder itself that are not folders (a link is not one).
std::vector<std::string> filesIn(const Folder& folder) {
    std::vector<std::string> names = folder.names();
    names.erase(std::remove_if(
                    names.begin(), names.end(),
                    [&](const std::string& name) { return folder.kindOf(name) == Kind::Folder; }),
                names.end());
    return names;
}

}  // namespace

FolderReplacements FolderReplacements::match(const std::string& folder, HeldArchive& held,
                                             const EntryTable& entries) {
    held.refuseIfChanged(entries, "replacing entries from a folder");
    File& archive = held.file();
    FolderReplacements result;
    result.folder = folder;
    // The folder the user chose may be reached through a link; nothing under it is.
    Folder root;
    std::vector<std::string> files;
    try {
        root = Folder::open(folder);
        files = filesIn(root);
    } catch (const Failure& failure) {
        throw Failure("Cannot open folder " + folder + ": " + failure.what());
    }
    std::map<std::string, int> sharing;  // file name -> entries that Extract gives it
    for (int i = 0; i < entries.count(); ++i) {
        ++sharing[safeFileName(entries.displayName(i)).substr(1)];
    }
    std::set<std::string> ambiguous;
    // Looks at the file `name` under the folders `parts` for entry i; false when there is
    // none.
    const auto take = [&](int i, const std::vector<std::string>& parts, const std::string& name) {
        std::string relative;
        for (const std::string& part : parts) {
            relative += part + "/";
        }
        relative += name;
        Found found = findUnder(root, parts, name, folder + "/" + relative);
        switch (found.kind) {
            case Kind::Missing:
                return false;
            case Kind::Link:
                result.links.push_back(relative);
                return true;
            case Kind::Other:
            case Kind::Folder:
                result.notRegular.push_back(relative);
                return true;
            case Kind::Regular:
                break;
        }
        const EntryTable::Placement placement = entries.placement(i);
        const struct stat info = found.file.status();
        if (info.st_size == placement.size && sameBytes(found.file, archive, placement)) {
            ++result.unchanged;
        } else {
            result.recorded.push_back(
                {{i, folder + "/" + relative, FileIdentity::of(info)}, info.st_size});
        }
        return true;
    };
    for (int i = 0; i < entries.count(); ++i) {
        const std::string name = safeFileName(entries.displayName(i)).substr(1);
        if (name.empty() || name == "." || name == "..") {
            continue;  // no file can have it
        }
        const std::vector<std::string> parts = entryFolderParts(entries.storedName(i));
        if (!parts.empty() && take(i, parts, name)) {
            continue;
        }
        if (sharing[name] == 1) {
            take(i, {}, name);
        } else if (std::binary_search(files.begin(), files.end(), name)) {
            ambiguous.insert(name);
        }
    }
    result.ambiguous.assign(ambiguous.begin(), ambiguous.end());
    for (const std::string& file : files) {
        if (sharing.count(file) == 0) {
            result.unmatched.push_back(file);
        }
    }
    return result;
}

std::string FolderReplacements::summary(const ShownName& shown, const std::string& verb) const {
    std::string text = verb + " " + counted(recorded.size(), "replacement", "replacements") +
                       " from " + folder + ".";
    if (unchanged > 0) {
        text += "\nSkipped " + counted(static_cast<std::size_t>(unchanged), "file", "files") +
                " that already " + (unchanged == 1 ? "holds" : "hold") + " what " +
                (unchanged == 1 ? "its entry holds" : "their entries hold") + ".";
    }
    if (!links.empty()) {
        text += "\nSkipped " + counted(links.size(), "symbolic link", "symbolic links") + ": " +
                listed(links, shown) + ".";
    }
    if (!notRegular.empty()) {
        text += "\nSkipped, not regular files: " + listed(notRegular, shown) + ".";
    }
    if (!ambiguous.empty()) {
        text += "\nSkipped, names that several entries share: " + listed(ambiguous, shown) +
                " (files under their stored folders tell them apart).";
    }
    if (!unmatched.empty()) {
        text += "\nMatching no entry: " + listed(unmatched, shown) + ".";
    }
    return text;
}

}  // namespace jobs
}  // namespace xcr
