#include "preview/StagedEntry.h"

#include <unistd.h>

#include "archive/os/EntryCopy.h"
#include "archive/os/File.h"
#include "archive/store/HeldArchive.h"

namespace xcr {

StagedEntry::StagedEntry(const std::string& archivePath, EntryTable::Placement placement,
                         std::string temporaryPath, Order order)
    : path_(std::move(temporaryPath)) {
    bool created = false;
    try {
        HeldArchive archive;
        File temporary;
        if (order == Order::ArchiveFirst) {
            archive = HeldArchive::open(archivePath, HeldArchive::Access::Read);
        }
        temporary = File::open(path_, File::Access::Create);
        created = true;
        if (order == Order::TemporaryFirst) {
            archive = HeldArchive::open(archivePath, HeldArchive::Access::Read);
        }
        // A journal beside the archive means another window's save was cut off: its
        // bytes may be half written until it is opened again.
        archive.refuseIfJournal("previewing it");
        copyRange(archive.file(), placement.offset, temporary, 0, placement.size);
        archive.file().close();
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
