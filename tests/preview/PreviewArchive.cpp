#include "tests/preview/PreviewArchive.h"

#include <filesystem>

#include "archive/Directory.h"

namespace xcr::test {

PreviewArchive::PreviewArchive(const XcrBuilder& builder)
    : staging(dir.file("staging")), archivePath_(dir.file("game.xcr")) {
    std::filesystem::create_directory(staging.path());
    builder.writeTo(archivePath_);
    entries.assign(readDirectory(archivePath_));
}

EntrySource PreviewArchive::source() {
    return EntrySource{[this] { return archivePath_; }, entries, staging};
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
