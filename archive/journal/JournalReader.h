#ifndef ARCHIVE_JOURNAL_JOURNALREADER_H
#define ARCHIVE_JOURNAL_JOURNALREADER_H

#include <string>
#include <vector>

#include "archive/journal/JournalFormat.h"
#include "archive/os/ArchiveFolder.h"
#include "archive/os/File.h"
#include "archive/os/FileIdentity.h"

namespace xcr::journal {

// What lies at an archive's journal name, read and judged against the archive.
enum class Verdict {
    Own,         // this archive's complete journal, which puts it back
    Unfinished,  // this archive's, cut off before the save changed the archive, or blank
    Torn,        // its header was cut off while written: the archive was not touched
    NotOwn,      // not this archive's journal: never applied, never removed
    Damaged,     // this archive's, but it no longer checks out; the archive may be half-written
};

// The archive a journal is judged against, held by the caller for the whole time.
struct JournaledArchive {
    File& file;
    FileIdentity identity;
    std::string name;  // its own file name, in the folder the journal lies in
};

class JournalReader {
public:
    // Reads the journal and judges it: a journal that would be Own is read whole and
    // checked against its checksum and the archive first. Reads only: nothing is
    // applied, removed or renamed here.
    JournalReader(const ArchiveFolder& folder, const std::string& name,
                  const JournaledArchive& archive);

    Verdict verdict() const { return verdict_; }
    // Why a journal is NotOwn or Damaged, for the user.
    const std::string& why() const { return why_; }
    // Cuts the archive to its old length, writes every kept range back and flushes it.
    // Only for an Own journal, through a handle that may write the archive.
    void restore(File& archive);
    void close() { file_.close(); }

private:
    void inspect(const ArchiveFolder& folder, const std::string& name,
                 const JournaledArchive& archive);
    void judge(const JournaledArchive& archive);
    bool readRanges();
    bool belongsTo(File& archive);
    void settle(Verdict verdict, std::string why = {});

    File file_;
    Verdict verdict_ = Verdict::NotOwn;
    std::string why_;
    Header header_;
    std::vector<KeptRange> ranges_;
    std::vector<unsigned char> plannedFields_;
};

// Reads the kept ranges and the planned fields of a journal whose header is `header`
// (read from a journal, or from a copy of one at the same positions) and checks them
// against its checksum. Returns why they do not check out, or nothing.
std::string readBody(File& file, const Header& header, std::vector<KeptRange>& ranges,
                     std::vector<unsigned char>& plannedFields);

// Cuts the archive to `oldLength` (which frees the room a growing save took), writes
// every kept range back into it from the journal and flushes it.
void restore(File& journal, const std::vector<KeptRange>& ranges, std::int64_t oldLength,
             File& archive);

}  // namespace xcr::journal

#endif  // ARCHIVE_JOURNAL_JOURNALREADER_H
