#ifndef ARCHIVE_UNDO_UNDOSTORE_H
#define ARCHIVE_UNDO_UNDOSTORE_H

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "archive/File.h"
#include "archive/FileIdentity.h"
#include "archive/SavePlan.h"
#include "archive/journal/SaveJournal.h"
#include "archive/undo/UndoRecord.h"

namespace xcr {

// Where undo records are kept and how many.
struct UndoOptions {
    // Empty for the user's state folder: $XDG_STATE_HOME/pelloran/undo, else
    // ~/.local/state/pelloran/undo.
    std::string folder;
    // The newest records kept for one archive, and for all archives together the most
    // bytes; the oldest records are dropped first.
    int savesPerArchive = 10;
    std::int64_t totalBytes = std::int64_t{2} << 30;
};

// One record in the store.
struct StoredUndo {
    std::string name;
    std::int64_t size = 0;
    // Nothing when it cannot be read (cut off by a crash, damaged).
    std::optional<UndoRecord> record;
};

// The folder of undo records, private to the user (0700, records 0600). A record is named
// after the time it was made and the archive it belongs to, so that names sort oldest
// first.
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
    // The archive's records, newest first.
    std::vector<StoredUndo> recordsOf(const FileIdentity& archive) const;
    // Opens a record for reading; fails with "Cannot open file %s".
    File open(const std::string& name) const;
    // Deletes a record; fails with "Cannot delete file %s".
    void remove(const std::string& name) const;
    // Deletes a record, complete or not, that must not stay, as far as it can: one left
    // behind (cut off, or of a save that did not happen) is never applied, and the next
    // save of its archive or the limits drop it.
    void removeQuietly(const std::string& name) const;

private:
    void dropUnreachable(const std::string& added, const UndoRecord& facts) const;
    void prune(const std::string& added) const;

    std::string folder_;
    UndoOptions options_;
};

}  // namespace xcr

#endif  // ARCHIVE_UNDO_UNDOSTORE_H
