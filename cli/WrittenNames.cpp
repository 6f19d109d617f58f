#include "cli/WrittenNames.h"

#include "archive/paths/EntryFolderParts.h"
#include "archive/paths/SafeName.h"

namespace xcr {

void WrittenNames::setPosition(int index) {
    if (folderParts_) {
        for (const std::string& part : entryFolderParts(entries_.storedName(index))) {
            out_ << part << '/';
        }
    }
    // The safe name starts with the separator that joins it to the folder.
    out_ << safeFileName(entries_.displayName(index)).substr(1) << '\n';
}

}  // namespace xcr
