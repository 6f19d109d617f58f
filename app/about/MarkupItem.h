#ifndef APP_ABOUT_MARKUPITEM_H
#define APP_ABOUT_MARKUPITEM_H

#include <string>

namespace xcr {

// One step of the popup's mark-up, in text order.
struct MarkupItem {
    enum class Kind {
        Text,       // a chunk of text: ends after a blank or before a tag
        LineBreak,  // <BR> or a carriage return
        BoldOn,
        BoldOff,
        FontSize,  // number: points
        FontEnd,
        Indent,     // number: pixels from the left edge of the text area
        LinkStart,  // text: the link's value
        LinkEnd,
        Picture,  // text: the picture's name
    };

    Kind kind = Kind::Text;
    std::string text;
    int number = 0;

    bool operator==(const MarkupItem&) const = default;
};

}  // namespace xcr

#endif  // APP_ABOUT_MARKUPITEM_H
