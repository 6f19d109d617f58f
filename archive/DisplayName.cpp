#include "archive/DisplayName.h"

namespace xcr {

// A plain loop: find_last_of looks each byte up in the set with a call of its own,
// which shows when an archive of a hundred thousand entries is opened.
std::size_t displayNameStart(std::string_view rawName) {
    for (std::size_t at = rawName.size(); at > 0; --at) {
        if (rawName[at - 1] == '\\' || rawName[at - 1] == ':') {
            return at;
        }
    }
    return 0;
}

std::string displayName(std::string_view rawName) {
    return std::string(rawName.substr(displayNameStart(rawName)));
}

std::string archiveWindowTitle(std::string_view archivePath) {
    const auto cut = archivePath.find_last_of("\\:/");
    const auto fileName = cut == std::string_view::npos ? archivePath : archivePath.substr(cut + 1);
    return std::string(kApplicationTitle) + " - " + std::string(fileName);
}

}  // namespace xcr
