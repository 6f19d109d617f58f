#ifndef ARCHIVE_JOURNAL_SAVEJOURNAL_H
#define ARCHIVE_JOURNAL_SAVEJOURNAL_H

#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "archive/format/Checksum.h"
#include "archive/journal/JournalFormat.h"
#include "archive/os/ArchiveFolder.h"
#include "archive/os/File.h"

namespace xcr::journal {

// The journal of one save, written beside the archive before the save changes it (see
// JournalFormat.h for its layout). A save keeps in it every byte it will overwrite,
// commits it, rewrites the archive, flushes the archive and removes the journal: that
// removal is the moment the save becomes final. Until then, the journal puts the archive
// back, through rollBack() after a reported failure, or at the next opening after a crash.
class SaveJournal {
public:
    // When what is written reaches the disk: at each step, as a journal must, or only when
    // the owner flushes the file itself (an undo record, flushed once when completed).
    enum class Flush { EachStep, ByOwner };

    // Creates the journal `name` in the archive's folder, which must not exist yet, and
    // flushes its first header, which names the archive (`header` gives its identity and
    // name). Fails when it cannot be created or flushed.
    static SaveJournal create(const ArchiveFolder& folder, const std::string& name,
                              const journal::Header& header, Flush flush = Flush::EachStep);

    const std::string& path() const { return file_.path(); }

    // Keeps the archive's bytes [position, position + size), which must lie within it and
    // must not overlap a range kept before. Bytes that follow the ones kept last join
    // their range.
    void keep(File& archive, std::int64_t position, std::int64_t size);
    // Appends the fields the save will write (see JournalFormat.h), flushes the body, then
    // writes and flushes the header that completes the journal, and flushes its folder, so
    // that the journal outlives a power cut. `header` gives the archive's identity, name,
    // lengths and listed entries; the rest is filled in here.
    void commit(journal::Header header, const std::vector<unsigned char>& plannedFields);

    // Copies the archive's old bytes [from, from + size) to `to` in the archive: the kept
    // ones from here, the rest from the archive itself, where nothing overwrites them.
    void copyOld(File& archive, std::int64_t from, std::int64_t size, std::int64_t to);
    // Puts the archive back as it was when the journal was committed.
    void rollBack(File& archive);
    // After a failure while the archive was rewritten, through the handle still held:
    // puts the archive back, removes the journal and closes the archive. Returns what the
    // user is told: `failure`, and either that the archive is unchanged or, when even
    // putting it back failed, that the journal stays and puts it back at the next opening.
    std::string abandon(File& archive, const std::string& failure);
    // Deletes the journal: the moment the save becomes final. Until syncRemoval() has
    // flushed the folder, a power cut may still bring the journal back.
    void remove();
    void syncRemoval();
    // Deletes a journal that was never committed; quiet, since the archive is untouched.
    void discard();

private:
    // The range being kept, whose header is written once it ends.
    struct OpenRange : journal::KeptRange {
        std::int64_t headerAt = 0;
    };

    SaveJournal(const ArchiveFolder& folder, std::string name, File file, Flush flush)
        : folder_(&folder), name_(std::move(name)), file_(std::move(file)), flush_(flush) {}
    void closeRange();
    void flushStep();

    const ArchiveFolder* folder_;
    std::string name_;
    File file_;
    std::vector<journal::KeptRange> ranges_;
    // Kept ranges by their position in the archive, for copyOld().
    std::map<std::int64_t, std::size_t> byPosition_;
    std::int64_t bodyEnd_ = journal::kHeaderSize;
    std::optional<OpenRange> open_;
    std::unique_ptr<unsigned char[]> buffer_;
    std::int64_t oldLength_ = 0;
    Checksum checksum_;
    Flush flush_;
};

}  // namespace xcr::journal

#endif  // ARCHIVE_JOURNAL_SAVEJOURNAL_H
