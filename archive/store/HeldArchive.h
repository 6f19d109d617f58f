#ifndef ARCHIVE_STORE_HELDARCHIVE_H
#define ARCHIVE_STORE_HELDARCHIVE_H

#include <cstdint>
#include <string>
#include <vector>

#include "archive/format/DirectoryFingerprint.h"
#include "archive/format/EntryTable.h"
#include "archive/journal/JournalReader.h"
#include "archive/journal/SaveJournal.h"
#include "archive/os/ArchiveFolder.h"
#include "archive/os/File.h"
#include "archive/os/FileIdentity.h"

namespace xcr {
inline namespace store {

// One archive opened for one command, from its first read to its last write. Opening
// resolves the name once (a link in the archive's own name is followed to the file
// itself), takes the exclusive lock, records which file it is, and holds the folder the
// file lies in: the journal is found, judged, written and removed there, by the name the
// file itself has, never by a path worked out again.
class HeldArchive {
public:
    enum class Access { Read, ReadWrite };

    // An archive as a save found or left it, as the save's undo record keeps it.
    struct Shape {
        // When its file was made (File::birthStamp), or 0 when that is not known or does
        // not matter.
        std::int64_t born = 0;
        std::int64_t length = 0;
        std::int64_t listed = 0;
        DirectoryFingerprint directory;
    };

    // Fails with "Cannot open file %s" and the reason.
    static HeldArchive open(const std::string& path, Access access);
    // As open(), but a failure is kept in failure() instead; an empty path (no archive
    // was ever opened) gives neither an archive nor a failure. A job's request carries
    // what this gives, taken when the job is asked for: a question to the user (a folder
    // to extract to) comes only for an archive that can be read, and nothing changes the
    // archive meanwhile.
    static HeldArchive attempt(const std::string& path, Access access = Access::Read);

    HeldArchive() = default;

    bool isOpen() const { return file_.isOpen(); }
    const std::string& failure() const { return failure_; }
    File& file() { return file_; }
    // For a job that writes: from here on file() reads and writes, under the lock taken at
    // opening. Fails with "Cannot open file %s" and the reason.
    void openForWriting();
    // Lets the file go, and the lock with it.
    void close();
    // The name the archive was opened by, as texts give it.
    const std::string& path() const { return path_; }
    const std::string& journalPath() const { return journalPath_; }
    FileIdentity identity() const { return identity_; }

    // For an opening: deals with what lies at the journal's name. This archive's journal
    // of an interrupted save puts it back; one cut off before the save changed anything
    // is removed; one whose header was cut off is set aside under a new name; a file that
    // is not this archive's journal stays where it is. Returns what the user must be told,
    // or nothing. Fails, naming the journal, when the archive's own journal is damaged or
    // putting the archive back failed: the journal then stays.
    std::string recoverJournal();
    // What lies at the journal's name, for the checker: nothing, or one line.
    std::string describeJournal();
    // Other names of the archive in its own folder (hard links), and how many it has.
    std::vector<std::string> otherNamesInFolder() const;
    std::uint64_t linkCount() const;

    // For a command about to read or write through a table it listed before (`doing`
    // says what: "saving", "extracting"): fails when anything lies at the journal's name,
    // or when the header, the listed records or the number of records the file lists are
    // no longer those of `entries`.
    void refuseIfChanged(const EntryTable& entries, const std::string& doing);
    // Whether the archive has that shape: the same file (a new file in a deleted archive's
    // inode is told apart by its birth), its length, its header and its `listed` records.
    bool hasShape(const Shape& shape);
    // Whether the `held.bytes` bytes at `position` are still those `held` fingerprints.
    bool holds(std::int64_t position, const DirectoryFingerprint& held);
    // For the previews: fails when anything lies at the journal's name.
    void refuseIfJournal(const std::string& doing);
    // For a save, before anything is written: fails for an archive with more than one
    // name, whose journal could put it back only through the name it was saved through,
    // and for one longer than the format allows.
    void refuseUnsafeSave();

    // Starts the journal of a save of this archive, and the header that names the
    // archive, for the save to complete and commit it with.
    journal::SaveJournal createJournal() const;
    journal::Header journalHeader() const;

    // The name a file in `folder` must not take when extracted from this archive: its
    // journal's, where the journal lies in that folder.
    bool isJournalName(const FileIdentity& folder, const std::string& name) const;

private:
    journal::JournaledArchive journaled() { return {file_, identity_, name_}; }

    File file_;
    // The handle the archive was opened by, kept while file_ is a handle for writing: the
    // lock belongs to it.
    File opened_;
    bool writable_ = false;
    ArchiveFolder folder_;
    std::string failure_;
    std::string path_;
    std::string name_;
    std::string journalName_;
    std::string journalPath_;
    FileIdentity identity_;
};

}  // namespace store
}  // namespace xcr

#endif  // ARCHIVE_STORE_HELDARCHIVE_H
