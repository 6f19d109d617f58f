#include "app/WindowTitle.h"

namespace xcr {

std::string archiveWindowTitle(std::string_view archivePath) {
    const auto cut = archivePath.find_last_of("\\:/");
    const auto fileName = cut == std::string_view::npos ? archivePath : archivePath.substr(cut + 1);
    return std::string(kApplicationTitle) + " - " + std::string(fileName);
}

}  // namespace xcr
