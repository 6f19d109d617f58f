#include "preview/StagedEntry.h"

#include <unistd.h>

#include "archive/EntryCopy.h"
#include "archive/File.h"
#include "archive/JournalRecovery.h"

namespace xcr {

StagedEntry::StagedEntry(const std::string& archivePath, EntryTable::Placement placement,
                         std::string temporaryPath, Order order)
    : path_(std::move(temporaryPath)) {
    bool created = false;
    try {
        File archive;
        File temporary;
        if (order == Order::ArchiveFirst) {
            archive = File::open(archivePath, File::Access::Read);
        }
        temporary = File::open(path_, File::Access::Create);
        created = true;
        if (order == Order::TemporaryFirst) {
            archive = File::open(archivePath, File::Access::Read);
        }
        // A journal beside the archive means another window's save was cut off: its
        // bytes may be half written until it is opened again.
        refuseIfJournal(archivePath);
        copyRange(archive, placement.offset, temporary, 0, placement.size);
        archive.close();
        temporary.close();
    } catch (...) {
        // A file we could not create may be another's: only our own is deleted.
        if (created) {
            ::unlink(path_.c_str());
        }
        throw;
    }
}

StagedEntry::~StagedEntry() {
    ::unlink(path_.c_str());
}

}  // namespace xcr
