#include "tests/support/InterruptedSave.h"

#include "archive/format/Directory.h"
#include "archive/format/XcrLayout.h"
#include "archive/store/HeldArchive.h"

namespace xcr::test {

Bytes interruptSave(const std::string& path, std::int32_t total, std::size_t grownBy) {
    Bytes halfSaved = readFileBytes(path);
    {
        HeldArchive archive = HeldArchive::open(path, HeldArchive::Access::Read);
        const EntryTable entries = readEntryTable(archive.file());
        const std::int64_t length = archive.file().length();
        const std::int64_t directory = layout::directoryPresent(entries.count(), length);
        journal::SaveJournal journal = archive.createJournal();
        journal.keep(archive.file(), 0, directory);
        journal.keep(archive.file(), directory, length - directory);
        // The fields the save was to write: the new total, every record as it was.
        Bytes fields(static_cast<std::size_t>(journal::plannedFieldsSize(entries.count())));
        putNumber(fields, 0, total);
        for (int i = 0; i < entries.count(); ++i) {
            putNumber(fields, static_cast<std::size_t>(4 + 8 * i), entries.placement(i).offset);
            putNumber(fields, static_cast<std::size_t>(8 + 8 * i), entries.placement(i).size);
        }
        journal::Header header = archive.journalHeader();
        header.oldLength = length;
        header.newLength = length + static_cast<std::int64_t>(grownBy);
        header.listed = entries.count();
        journal.commit(header, fields);
    }
    putNumber(halfSaved, static_cast<std::size_t>(layout::kTotalSizePos), total);
    halfSaved.resize(halfSaved.size() + grownBy, 7);
    writeFileBytes(path, halfSaved);
    return halfSaved;
}

}  // namespace xcr::test
