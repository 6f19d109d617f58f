#include "archive/paths/SafeName.h"

#include "archive/os/Failure.h"

namespace xcr {
inline namespace paths {

std::string safeFileName(std::string_view displayName) {
    std::string safe;
    safe.reserve(displayName.size() + 1);
    safe.push_back(kPathSeparator);
    for (const char c : displayName) {
        safe.push_back(c == ':' || c == '\\' || c == '/' ? '_' : c);
    }
    return safe;
}

std::string extractionOutputPath(const std::string& folder, std::string_view displayName) {
    const std::string safe = safeFileName(displayName);
    const std::string path = folder + safe;
    // The component after the leading separator is the file's own name.
    const std::string_view component = std::string_view(safe).substr(1);
    if (component.empty() || component == "." || component == "..") {
        throw Failure(cannotCreateText(path));
    }
    return path;
}

}  // namespace paths
}  // namespace xcr
