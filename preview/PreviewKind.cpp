#include "preview/PreviewKind.h"

#include <string>

namespace xcr {

namespace {
// Only A to Z change: bytes of other code pages must stay as they are.
char asciiLower(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}
}  // namespace

PreviewKind previewKindOf(std::string_view displayName) {
    std::string suffix(displayName.substr(displayName.size() < 3 ? 0 : displayName.size() - 3));
    for (char& c : suffix) {
        c = asciiLower(c);
    }
    // A shorter name is its own suffix and so can never equal a three-letter one.
    if (suffix == "wav") {
        return PreviewKind::Wave;
    }
    if (suffix == "bmp") {
        return PreviewKind::Bitmap;
    }
    return PreviewKind::None;
}

}  // namespace xcr
