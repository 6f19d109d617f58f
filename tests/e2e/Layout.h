#ifndef TESTS_E2E_LAYOUT_H
#define TESTS_E2E_LAYOUT_H

#include <QImage>
#include <QRect>
#include <string>
#include <vector>

namespace xcr::e2e {

// The main window's fixed layout in client pixels, and a check of a screenshot of the
// client area against it.
struct Layout {
    static constexpr QRect kList{1, 0, 216, 369};
    static constexpr int kButtonTop = 374;
    static constexpr int kButtonSize = 24;
    static constexpr QRect kProgressBar{1, 402, 216, 8};
    static constexpr QRect kPictureArea{225, 0, 410, 410};
    static constexpr QRect kGap{217, 0, 8, 410};

    static QRect button(int number) {  // 1 to 9, left to right
        return {1 + kButtonSize * (number - 1), kButtonTop, kButtonSize, kButtonSize};
    }

    // Every way in which `client` departs from the layout: the list's bevelled edges,
    // the nine glyphs (the first greyed), the progress bar's frame, plain background in
    // the gaps between them, and in the picture area outside `picture`.
    static std::vector<std::string> faults(const QImage& client, const QRect& picture = {});
};

}  // namespace xcr::e2e

#endif  // TESTS_E2E_LAYOUT_H
