#ifndef ARCHIVE_SESSION_EDITCOPIES_H
#define ARCHIVE_SESSION_EDITCOPIES_H

#include <chrono>
#include <string>
#include <vector>

#include "archive/format/EntryTable.h"
#include "archive/jobs/JobOutcome.h"
#include "archive/jobs/JobProgress.h"
#include "archive/store/HeldArchive.h"

namespace xcr {
inline namespace session {

// Where the copies of one archive's entries lie while the user edits them in programs of
// their own: a folder per archive under the user's private cache folder, each copy under
// its stored name's folder parts and its display name. The copies outlast the run, so an
// edit not yet saved into its archive is never lost with it. Beside the folder lies a
// file of the same name ending ".archive" that holds the archive's path, by which a later
// start finds the archive a copy belongs to.
class EditCopies {
public:
    static constexpr std::string_view kArchiveNameSuffix = ".archive";

    // $XDG_CACHE_HOME/pelloran/edits, else ~/.cache/pelloran/edits.
    static std::string userRoot();

    EditCopies() = default;
    // The copies of the archive at `archivePath` (made absolute), in `root`. Nothing is
    // made on disk yet.
    EditCopies(std::string root, const std::string& archivePath);

    const std::string& root() const { return root_; }
    const std::string& archivePath() const { return archivePath_; }
    // The archive's folder: its file name and a hash of its whole path, so that archives
    // of one name in different folders keep apart.
    const std::string& folder() const { return folder_; }

    // Where the copy of entry `index` lies. An entry whose stored name an earlier entry
    // has already gets its number in its name, so that no two entries share a copy.
    std::string copyOf(const EntryTable& entries, int index) const;
    // Every entry's copy, in entry order.
    std::vector<std::string> copies(const EntryTable& entries) const;

    // Makes the root private and the archive's folder, and records the archive's path
    // beside it. Fails with the reason.
    void make() const;

private:
    std::string root_;
    std::string archivePath_;
    std::string folder_;
};

enum class CopyState { Missing, AsTheEntry, Edited };

// How the file at `copy` stands to the entry at `placement` of `archive`: what is not a
// regular file (gone, a folder, a link) counts as missing. Fails when the archive's data
// runs past its end or the copy cannot be read.
CopyState copyState(HeldArchive& archive, EntryTable::Placement placement, const std::string& copy);

struct EditCopyRequest {
    HeldArchive archive;
    EntryTable entries;
    int index = -1;
    EditCopies copies;
    // The file recorded as the entry's replacement, if any: when that is the copy, the
    // copy is opened as it stands.
    std::string recorded;
};

struct EditCopyMade {
    std::string copy;
    // Where an earlier edit that was not the entry's replacement was moved; empty when
    // none was.
    std::string setAside;
    // The copy was written afresh from the entry.
    bool written = false;
};

// Makes the copy of an entry for the user to edit, as a job. A copy in use, or one that
// holds the entry's bytes, is kept as it is. An edited one is moved aside to a name of
// its own first ("hills (earlier edit).bmp"), so that no edit is ever written over; then
// the entry is written afresh by the program's extraction.
JobOutcome runEditCopy(EditCopyRequest request, JobProgress& progress, EditCopyMade& made);

// Removes every copy in `root` last changed before `now - maxAge` whose archive holds its
// bytes now (the edit was saved into it, or it was never changed), then the folders left
// empty. Quiet on every failure: a copy whose archive cannot be read stays.
void sweepEditCopies(const std::string& root, std::chrono::system_clock::time_point now,
                     std::chrono::hours maxAge = std::chrono::hours(24 * 30));

}  // namespace session
}  // namespace xcr

#endif  // ARCHIVE_SESSION_EDITCOPIES_H
