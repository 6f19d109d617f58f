#ifndef PREVIEW_PREVIEWKIND_H
#define PREVIEW_PREVIEWKIND_H

#include <string_view>

namespace xcr {

// The preview an entry gets, decided by its display name alone.
enum class PreviewKind {
    Wave,    // enables Play Wav
    Bitmap,  // shown in the picture area
    None,
};

// Looks at the last three characters of the name, lower-cased (ASCII letters only). No
// dot is needed, so "xwav" is a wave; names shorter than three characters never match.
PreviewKind previewKindOf(std::string_view displayName);

}  // namespace xcr

#endif  // PREVIEW_PREVIEWKIND_H
