#include "preview/EntryDispatch.h"

#include "preview/PreviewKind.h"

namespace xcr {

EntryDispatch::EntryDispatch(const EntryTable& entries, std::function<void(bool)> enablePlayWav,
                             std::function<void(int)> showImage)
    : entries_(entries),
      enablePlayWav_(std::move(enablePlayWav)),
      showImage_(std::move(showImage)) {}

void EntryDispatch::select(int index) const {
    if (index < 0 || index >= entries_.count()) {
        return;
    }
    const PreviewKind kind = previewKindOf(entries_.displayName(index));
    // Disabled before the bitmap is shown, so a failing preview leaves it disabled too.
    enablePlayWav_(kind == PreviewKind::Wave);
    if (kind == PreviewKind::Bitmap) {
        showImage_(index);
    }
}

}  // namespace xcr
