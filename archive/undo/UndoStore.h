#ifndef ARCHIVE_UNDO_UNDOSTORE_H
#define ARCHIVE_UNDO_UNDOSTORE_H

#include <cstdint>
#include <string>
#include <vector>

#include "archive/format/ByteRange.h"
#include "archive/journal/SaveJournal.h"
#include "archive/os/ArchiveFolder.h"
#include "archive/os/File.h"
#include "archive/os/FileIdentity.h"
#include "archive/undo/StoredUndo.h"
#include "archive/undo/UndoOptions.h"
#include "archive/undo/UndoRecord.h"

namespace xcr {
inline namespace undo {

// The folder of undo records, private to the user (0700, records 0600). A record is named
// after the time it was made and the archive it belongs to, so that names sort oldest
// first. While a save writes it, it carries the writing process's number and ".part";
// parts whose process is gone were cut off by a crash, and the next use of the store
// removes them (until then the limits count them). A store or record that is not the
// user's own, or is a link, is never read: a record's bytes are written into an archive.
// Every record removed is removed for good: the folder is flushed, so that a record
// undone never comes back after a power cut.
class UndoStore {
public:
    explicit UndoStore(UndoOptions options = {});

    const std::string& folder() const { return folder_; }

    // Starts the record of a save before it changes the archive: creates it with the
    // archive's old bytes in `kept`, laid out as a journal is, with `header` (the
    // archive's identity, name and lengths) and the save's planned fields, and flushes
    // it. Returns its name.
    std::string begin(File& archive, const std::vector<ByteRange>& kept,
                      const journal::Header& header,
                      const std::vector<unsigned char>& plannedFields) const;
    // Completes the record once the save has written the archive: appends `facts` (whose
    // journal header gives the archive and its old length), flushes it and its folder,
    // then drops the archive's records that no undo can reach any more (those newer than
    // the save this one was made on) and the oldest records past the limits. Fails when
    // it cannot, or when the limits leave no room even for it: it is then removed.
    void complete(const std::string& name, const UndoRecord& facts) const;
    // The archive's records, newest first. Fails when the store is not the user's own
    // folder, saying so.
    std::vector<StoredUndo> recordsOf(const FileIdentity& archive) const;
    // Opens a record for reading, never through a link; fails with "Cannot open file %s"
    // and the reason, which names another owner.
    File open(const std::string& name) const;
    // Removes every record of the archive, for a save that kept none: no undo may reach
    // past it. Returns how many went.
    int retire(const FileIdentity& archive) const;
    // Deletes a record; fails with "Cannot delete file %s".
    void remove(const std::string& name) const;
    // Deletes a record, complete or not, that must not stay, as far as it can: one left
    // behind (cut off, or of a save that did not happen) is never applied, and the next
    // save of its archive or the limits drop it.
    void removeQuietly(const std::string& name) const;

private:
    ArchiveFolder openFolder() const;
    File openIn(const ArchiveFolder& folder, const std::string& name) const;
    std::string partOf(const std::string& name) const;
    void sweepParts(const ArchiveFolder& folder) const;
    void dropUnreachable(const std::string& added, const UndoRecord& facts) const;
    void prune(const std::string& added) const;

    std::string folder_;
    UndoOptions options_;
};

}  // namespace undo
}  // namespace xcr

#endif  // ARCHIVE_UNDO_UNDOSTORE_H
