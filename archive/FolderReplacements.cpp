#include "archive/FolderReplacements.h"

#include <dirent.h>
#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <map>
#include <memory>
#include <set>

#include "archive/EntryFolderParts.h"
#include "archive/Failure.h"
#include "archive/HeldArchive.h"
#include "archive/SafeName.h"

namespace xcr {

namespace {

constexpr std::size_t kCompareBufferSize = 1 << 16;
constexpr std::size_t kNamesShown = 5;

enum class Kind { Missing, Regular, Other };

Kind kindOf(const std::string& path, struct stat& info) {
    if (::stat(path.c_str(), &info) == 0) {
        return S_ISREG(info.st_mode) ? Kind::Regular : Kind::Other;
    }
    // A link that leads nowhere is there, but is no file to take.
    return ::lstat(path.c_str(), &info) == 0 ? Kind::Other : Kind::Missing;
}

bool sameBytes(const std::string& path, File& archive, EntryTable::Placement placement) {
    File file = File::open(path, File::Access::Read);
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

// The names in the folder itself that are not folders.
std::vector<std::string> filesIn(const std::string& folder) {
    const std::unique_ptr<DIR, int (*)(DIR*)> listing(::opendir(folder.c_str()), ::closedir);
    if (!listing) {
        throw Failure("Cannot open folder " + folder + ": " + systemReason());
    }
    std::vector<std::string> names;
    while (const dirent* item = ::readdir(listing.get())) {
        const std::string name = item->d_name;
        struct stat info {};
        if (name != "." && name != ".." &&
            !(::stat((folder + "/" + name).c_str(), &info) == 0 && S_ISDIR(info.st_mode))) {
            names.push_back(name);
        }
    }
    std::sort(names.begin(), names.end());
    return names;
}

}  // namespace

FolderReplacements FolderReplacements::match(const std::string& folder, HeldArchive& held,
                                             const EntryTable& entries) {
    held.refuseIfChanged(entries, "replacing entries from a folder");
    File& archive = held.file();
    FolderReplacements result;
    result.folder = folder;
    const std::vector<std::string> files = filesIn(folder);
    std::map<std::string, int> sharing;  // file name -> entries that Extract gives it
    for (int i = 0; i < entries.count(); ++i) {
        ++sharing[safeFileName(entries.displayName(i)).substr(1)];
    }
    std::set<std::string> ambiguous;
    // Looks at the file `relative` for entry i; false when there is none.
    const auto take = [&](int i, const std::string& relative) {
        const std::string path = folder + "/" + relative;
        struct stat info {};
        switch (kindOf(path, info)) {
            case Kind::Missing:
                return false;
            case Kind::Other:
                result.notRegular.push_back(relative);
                return true;
            case Kind::Regular:
                break;
        }
        const EntryTable::Placement placement = entries.placement(i);
        if (info.st_size == placement.size && sameBytes(path, archive, placement)) {
            ++result.unchanged;
        } else {
            result.recorded.push_back({{i, path}, info.st_size});
        }
        return true;
    };
    for (int i = 0; i < entries.count(); ++i) {
        const std::string name = safeFileName(entries.displayName(i)).substr(1);
        if (name.empty() || name == "." || name == "..") {
            continue;  // no file can have it
        }
        std::string nested;
        for (const std::string& part : entryFolderParts(entries.storedName(i))) {
            nested += part + "/";
        }
        if (!nested.empty() && take(i, nested + name)) {
            continue;
        }
        if (sharing[name] == 1) {
            take(i, name);
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

}  // namespace xcr
