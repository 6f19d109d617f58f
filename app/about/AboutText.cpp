#include "app/about/AboutText.h"

#include <array>
#include <string_view>

namespace xcr {

std::string aboutText() {
    // The description has no <BR> of its own: its line break ends it, and the credit's
    // <BR> plus line break leave one empty line before the closing picture.
    static constexpr std::array<std::string_view, 6> kLines = {
        R"(<IMG src="HELP"><BR>)",
        R"(<B><FONT  size="12" size="10">Pelloran Plus</FONT>)",
        R"(<IND x="10">version 3.02</B><BR><BR>)",
        R"(The ultimate (and only?) xcr file utility.)",
        R"(By Mavrel, <A href="qeltmodhq">Qelt Modding Project</A><BR>)",
        R"(<IMG src="MAVREL"> Click here to <A href="close">close</A>.)",
    };
    std::string text;
    for (const auto line : kLines) {
        text.append(line).append("\r\n");
    }
    return text;
}

}  // namespace xcr
