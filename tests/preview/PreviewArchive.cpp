#include "tests/preview/PreviewArchive.h"

#include <filesystem>

#include "archive/store/OpenedArchive.h"

namespace xcr::test {

PreviewArchive::PreviewArchive(const XcrBuilder& builder)
    : staging(dir.file("staging")), archivePath_(dir.file("game.xcr")) {
    std::filesystem::create_directory(staging.path());
    builder.writeTo(archivePath_);
    entries = openArchive(archivePath_).entries;
}

EntrySource PreviewArchive::source() {
    return EntrySource{[this] { return archivePath_; }, entries, staging};
}

void PreviewArchive::setPlacement(int index, EntryTable::Placement placement) {
    auto placements = entries.placements();
    placements.at(static_cast<std::size_t>(index)) = placement;
    entries = entries.withPlacements(std::move(placements), entries.fingerprint());
}

std::vector<std::string> PreviewArchive::stagedFiles() const {
    std::vector<std::string> names;
    std::error_code missing;
    for (const auto& entry : std::filesystem::directory_iterator(staging.path(), missing)) {
        names.push_back(entry.path().filename().string());
    }
    return names;
}

}  // namespace xcr::test
