#ifndef ARCHIVE_UNDO_UNDOOPTIONS_H
#define ARCHIVE_UNDO_UNDOOPTIONS_H

#include <cstdint>
#include <string>

namespace xcr {
inline namespace undo {

// Where undo records are kept and how many.
struct UndoOptions {
    // Empty for the user's state folder: $XDG_STATE_HOME/pelloran/undo, else
    // ~/.local/state/pelloran/undo.
    std::string folder;
    // The newest records kept for one archive, and for all archives together the most
    // bytes; the oldest records are dropped first.
    int savesPerArchive = 10;
    std::int64_t totalBytes = std::int64_t{2} << 30;
};

}  // namespace undo
}  // namespace xcr

#endif  // ARCHIVE_UNDO_UNDOOPTIONS_H
