#include "archive/DisplayName.h"

namespace xcr {

std::string displayName(std::string_view rawName) {
    const auto cut = rawName.find_last_of("\\:");
    return std::string(cut == std::string_view::npos ? rawName : rawName.substr(cut + 1));
}

std::string archiveWindowTitle(std::string_view archivePath) {
    const auto cut = archivePath.find_last_of("\\:/");
    const auto fileName = cut == std::string_view::npos ? archivePath : archivePath.substr(cut + 1);
    return std::string(kApplicationTitle) + " - " + std::string(fileName);
}

}  // namespace xcr
