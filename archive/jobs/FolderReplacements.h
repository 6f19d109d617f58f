#ifndef ARCHIVE_JOBS_FOLDERREPLACEMENTS_H
#define ARCHIVE_JOBS_FOLDERREPLACEMENTS_H

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "archive/format/EntryTable.h"
#include "archive/jobs/ReplacementTable.h"
#include "archive/store/HeldArchive.h"

namespace xcr {
inline namespace jobs {

// The replacements a folder of edited files gives an archive: each entry takes the file
// named as Extract names it, either under the folders of its stored name (as extract
// --paths writes them) or, when that file is missing, straight in the folder. Entries
// that share a display name take only files under their folders.
struct FolderReplacements {
    struct Match {
        Replacement replacement;
        std::int64_t size = 0;  // of the file, when it was matched
    };
    // How a name is shown to the user (names are the archive's bytes).
    using ShownName = std::function<std::string(std::string_view)>;

    // Matches the files of `folder` with the entries of `archive`, which must still be
    // what `entries` was read from, recording the file each match opened. Reads only; fails with
    // "Cannot open folder %s" and the system's reason, or when a file that might be unchanged
    // cannot be read.
    static FolderReplacements match(const std::string& folder, HeldArchive& archive,
                                    const EntryTable& entries);

    // One text for the user: how many were recorded (`verb` says how: "Recorded",
    // "Would record") and what was skipped, naming the first few files that matched no
    // entry.
    std::string summary(const ShownName& shown, const std::string& verb) const;

    std::string folder;
    std::vector<Match> recorded;  // in entry order
    int unchanged = 0;            // files that hold their entry's bytes already
    // Names relative to the folder: links where an entry's file, or a folder on its way,
    // was looked for (never followed: a downloaded folder must not bring in a file from
    // elsewhere), files of no regular kind (a folder, a device, a file the system makes
    // up as it is read) there, the display names several entries share with a file of
    // that name in the folder, and the files that no entry has a name for.
    std::vector<std::string> links;
    std::vector<std::string> notRegular;
    std::vector<std::string> ambiguous;
    std::vector<std::string> unmatched;
};

}  // namespace jobs
}  // namespace xcr

#endif  // ARCHIVE_JOBS_FOLDERREPLACEMENTS_H
