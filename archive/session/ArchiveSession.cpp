#include "archive/session/ArchiveSession.h"

#include "archive/store/OpenedArchive.h"

namespace xcr {
inline namespace session {

std::string ArchiveSession::open(const std::string& path) {
    archivePath = path;
    entries = EntryTable();
    marks = std::make_shared<CheckMarks>();
    replacements.clear();
    OpenedArchive opened = openArchive(path);
    entries = std::move(opened.entries);
    marks = std::make_shared<CheckMarks>(entries.count());
    return opened.notice;
}

void ArchiveSession::saved(EntryTable table) {
    entries = std::move(table);
}

void ArchiveSession::undone(EntryTable table) {
    entries = std::move(table);
    marks = std::make_shared<CheckMarks>(entries.count());
    replacements.clear();
}

SaveRequest ArchiveSession::saveRequest(HeldArchive archive) const {
    return {std::move(archive), entries, replacements.list(), staging.path(), {}};
}

ExtractionRequest ArchiveSession::extractionRequest(HeldArchive archive, std::string folder) const {
    return {std::move(archive), std::move(folder), entries, marks};
}

}  // namespace session
}  // namespace xcr
