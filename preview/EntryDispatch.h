#ifndef PREVIEW_ENTRYDISPATCH_H
#define PREVIEW_ENTRYDISPATCH_H

#include <functional>

#include "archive/format/EntryTable.h"

namespace xcr {

// What selecting an entry does: a wave entry enables Play Wav; a bitmap entry disables it
// and is shown; any other entry disables it and leaves the picture as it is.
class EntryDispatch {
public:
    EntryDispatch(const EntryTable& entries, std::function<void(bool)> enablePlayWav,
                  std::function<void(int)> showImage);

    // Does nothing when no entry is selected (index below 0 or past the table).
    void select(int index) const;

private:
    const EntryTable& entries_;
    std::function<void(bool)> enablePlayWav_;
    std::function<void(int)> showImage_;
};

}  // namespace xcr

#endif  // PREVIEW_ENTRYDISPATCH_H
