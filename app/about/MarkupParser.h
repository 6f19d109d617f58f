#ifndef APP_ABOUT_MARKUPPARSER_H
#define APP_ABOUT_MARKUPPARSER_H

#include <string_view>
#include <vector>

#include "app/about/MarkupItem.h"

namespace xcr {

// Numbers in tags are read up to this value; larger ones stop there.
inline constexpr int kMarkupNumberLimit = 1000000;

// Turns the popup's mark-up into items. Any input is accepted: unknown tags are skipped, a
// "<" that no ">" follows is plain text, and the work is linear in the length of the text.
std::vector<MarkupItem> parseMarkup(std::string_view text);

}  // namespace xcr

#endif  // APP_ABOUT_MARKUPPARSER_H
