#include "cli/WrittenNames.h"

#include "archive/SafeName.h"

namespace xcr {

void WrittenNames::setPosition(int index) {
    // The safe name starts with the separator that joins it to the folder.
    out_ << safeFileName(entries_.displayName(index)).substr(1) << '\n';
}

}  // namespace xcr
