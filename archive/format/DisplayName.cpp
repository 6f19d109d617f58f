#include "archive/format/DisplayName.h"

namespace xcr {
inline namespace format {

// A plain loop: find_last_of looks each byte up in the set with a call of its own,
// which shows when an archive of a hundred thousand entries is opened.
std::size_t displayNameStart(std::string_view storedName) {
    for (std::size_t at = storedName.size(); at > 0; --at) {
        if (storedName[at - 1] == '\\' || storedName[at - 1] == ':') {
            return at;
        }
    }
    return 0;
}

std::string displayName(std::string_view storedName) {
    return std::string(storedName.substr(displayNameStart(storedName)));
}

}  // namespace format
}  // namespace xcr
