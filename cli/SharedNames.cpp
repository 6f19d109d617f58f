#include "cli/SharedNames.h"

#include <map>

#include "archive/paths/EntryFolderParts.h"
#include "archive/paths/SafeName.h"
#include "cli/NameText.h"

namespace xcr {

std::string sharedNamesWarning(const EntryTable& entries, const std::vector<int>& chosen,
                               bool folderParts) {
    std::map<std::string, std::vector<int>> byName;
    for (const int index : chosen) {
        std::string path;
        for (const std::string& part : folderParts ? entryFolderParts(entries.storedName(index))
                                                   : std::vector<std::string>()) {
            path += part + "/";
        }
        byName[path + safeFileName(entries.displayName(index)).substr(1)].push_back(index);
    }
    std::string shared;
    for (const auto& [name, indexes] : byName) {
        if (indexes.size() < 2) {
            continue;
        }
        shared +=
            std::string(shared.empty() ? "" : ", ") + "\"" + printableName(name) + "\" (entries ";
        for (std::size_t i = 0; i < indexes.size(); ++i) {
            shared += (i == 0 ? "" : ", ") + std::to_string(indexes[i]);
        }
        shared += ")";
    }
    if (shared.empty()) {
        return shared;
    }
    return "Entries that share a file name were written over each other, the last one kept: " +
           shared + (folderParts ? "" : "; --paths writes each under its folders");
}

}  // namespace xcr
