#ifndef APP_FORMGEOMETRY_H
#define APP_FORMGEOMETRY_H

#include <QRect>
#include <QSize>

namespace xcr {

// The main window's fixed layout in client-area pixels. The list, the row of nine
// buttons and the progress bar share the left column; the picture area fills the rest.
struct FormGeometry {
    static constexpr QSize kClient{635, 410};
    static constexpr QRect kList{1, 0, 216, 369};
    static constexpr int kListItemHeight = 13;
    static constexpr int kButtonCount = 9;
    static constexpr int kButtonSize = 24;
    static constexpr int kButtonTop = 374;
    static constexpr QRect kProgressBar{1, 402, 216, 8};
    static constexpr QRect kPictureArea{225, 0, 410, 410};

    // Button `number`, 1 to 9 from the left: one unbroken row under the list.
    static constexpr QRect button(int number) {
        return {kList.left() + kButtonSize * (number - 1), kButtonTop, kButtonSize, kButtonSize};
    }
};

}  // namespace xcr

#endif  // APP_FORMGEOMETRY_H
