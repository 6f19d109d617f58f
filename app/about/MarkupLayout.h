#ifndef APP_ABOUT_MARKUPLAYOUT_H
#define APP_ABOUT_MARKUPLAYOUT_H

#include <QColor>
#include <QFont>
#include <QPixmap>
#include <QRect>
#include <QString>
#include <vector>

#include "app/about/MarkupItem.h"
#include "app/about/NamedPictures.h"

class QPainter;

namespace xcr {

// The popup's mark-up placed in lines within a text area of a given width. Positions are
// relative to the text area's top-left corner.
class MarkupLayout {
public:
    // A chunk of text or a picture standing on a line.
    struct Piece {
        QRect rect;
        QString text;  // empty for a picture
        QFont font;
        int ascent = 0;
        int link = -1;  // index into links(), -1 outside any link
        QPixmap picture;
    };

    struct Line {
        int top = 0;
        int height = 0;
        std::vector<Piece> pieces;
    };

    // A link's value and the area its text covers, one rectangle per line it stands on.
    struct Link {
        QString value;
        std::vector<QRect> rects;
    };

    static constexpr QColor kLinkColour{0, 0, 255};

    MarkupLayout() = default;
    MarkupLayout(const std::vector<MarkupItem>& items, int width, const QFont& font,
                 const NamedPictures& pictures);

    const std::vector<Line>& lines() const { return lines_; }
    const std::vector<Link>& links() const { return links_; }

    // The index of the link covering the point, or -1.
    int linkAt(QPoint point) const;

    // Draws without a background; only the hovered link is underlined.
    void paint(QPainter& painter, const QColor& textColour, int hoveredLink) const;

private:
    friend class MarkupLayoutBuilder;

    std::vector<Line> lines_;
    std::vector<Link> links_;
};

}  // namespace xcr

#endif  // APP_ABOUT_MARKUPLAYOUT_H
