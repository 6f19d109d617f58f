#include "archive/paths/EntryFolderParts.h"

#include "archive/format/DisplayName.h"

namespace xcr {
inline namespace paths {

std::vector<std::string> entryFolderParts(std::string_view storedName) {
    const std::string_view folders = storedName.substr(0, displayNameStart(storedName));
    std::vector<std::string> parts;
    std::string part;
    for (const char c : folders) {
        if (c != '\\' && c != ':') {
            part.push_back(c == '/' ? '_' : c);
            continue;
        }
        if (part == "..") {
            part = "__";
        }
        if (!part.empty() && part != ".") {
            parts.push_back(part);
        }
        part.clear();
    }
    return parts;
}

}  // namespace paths
}  // namespace xcr
