#ifndef ARCHIVE_UNDO_UNDORECORD_H
#define ARCHIVE_UNDO_UNDORECORD_H

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "archive/format/DirectoryFingerprint.h"
#include "archive/journal/JournalFormat.h"
#include "archive/os/File.h"
#include "archive/store/HeldArchive.h"

// The record that lets one save be undone, kept in the user's state folder.
//
// Layout: a journal of the save (its header names the archive and its lengths; its body
// keeps the header and directory as they were and every old byte the save overwrote but
// for those of entries it merely moved, which an undo takes back from their new place),
// then the facts below (numbers 8-byte little-endian, texts as their length and their
// bytes), then their checksum, their length and the magic "XCRUNDO2", which end the file.
// Records ending in "XCRUNDO1" lack the birth stamp and the replaced entries' bytes; they
// are read and judged by their directory alone.
namespace xcr {
inline namespace undo {

struct UndoRecord {
    // Bytes of the archive as the record knows them: where they lie and what they hold.
    struct KnownBytes {
        std::int64_t position = 0;
        DirectoryFingerprint held;
    };
    struct Replaced {
        std::int64_t index = 0;
        std::string name;
        // The entry's bytes before the save and those the save wrote.
        KnownBytes before;
        KnownBytes after;
    };

    // The journal header of the save: identity, old and new length, listed entries.
    // Only what is read back from a record has all of it.
    journal::Header journal;
    // Seconds since the epoch when the save was made.
    std::int64_t time = 0;
    // The header and directory before and after the save, and the length it left.
    DirectoryFingerprint before;
    DirectoryFingerprint after;
    std::int64_t lengthAfter = 0;
    // When the archive's file was made (File::birthStamp), or 0 when that is not known.
    std::int64_t born = 0;
    std::vector<Replaced> replaced;
    // Whether the replaced entries' bytes are known (not in the oldest records).
    bool bytesKnown = true;

    // The facts as they follow the journal, with what ends the file.
    std::vector<unsigned char> encodeFacts() const;
    // Reads the journal header and the facts of a record, without its body; nothing when
    // they do not check out.
    static std::optional<UndoRecord> read(File& record);

    // Whether the archive is exactly as the save left it: the same file, its length, its
    // header and its listed records, and every byte the save wrote into the entries it
    // replaced.
    bool leftAsIs(HeldArchive& archive) const {
        return directoryAsLeft(archive) && !changedEntry(archive);
    }
    // Whether the file, its length, its header and its listed records are as the save left
    // them.
    bool directoryAsLeft(HeldArchive& archive) const;
    // The first replaced entry that no longer holds what the save wrote into it.
    const Replaced* changedEntry(HeldArchive& archive) const;
    // Whether the archive is as it was before the save and not as the save left it (a
    // save that changed no record leaves the header and directory as they were, so the
    // replaced entries tell): the save was undone, or put back after a crash, and the
    // record has nothing left to undo.
    bool spent(HeldArchive& archive) const;
    // Whether this save was made on the archive exactly as `newer` found it.
    bool precedes(const UndoRecord& newer) const;
};

}  // namespace undo
}  // namespace xcr

#endif  // ARCHIVE_UNDO_UNDORECORD_H
