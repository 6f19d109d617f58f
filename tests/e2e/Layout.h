#ifndef TESTS_E2E_LAYOUT_H
#define TESTS_E2E_LAYOUT_H

#include <QImage>
#include <QRect>
#include <string>
#include <vector>

#include "app/FormGeometry.h"

namespace xcr::e2e {

// The main window's fixed layout, and a check of a screenshot of the client area
// against it.
struct Layout : FormGeometry {
    // The column between the list and the picture area.
    static constexpr QRect kGap{QPoint(kList.right() + 1, 0),
                                QPoint(kPictureArea.left() - 1, kClient.height() - 1)};

    // List item `row` inside the list's one-pixel bevel.
    static constexpr QRect listRow(int row) {
        return {kList.left() + 1, kList.top() + 1 + kListItemHeight * row, kList.width() - 2,
                kListItemHeight};
    }

    // Every way in which `client` departs from the layout: the list's bevelled edges,
    // the nine glyphs (the first greyed), the progress bar's frame, plain background in
    // the gaps between them, and in the picture area outside `picture`.
    static std::vector<std::string> faults(const QImage& client, const QRect& picture = {});
};

}  // namespace xcr::e2e

#endif  // TESTS_E2E_LAYOUT_H
