#ifndef APP_WINDOWTITLE_H
#define APP_WINDOWTITLE_H

#include <string>
#include <string_view>

namespace xcr {

inline constexpr const char* kApplicationTitle = "Pelloran Plus 3";

// The window title after an archive was opened: "Pelloran Plus 3 - " and the file name
// of the archive path, split on "\", ":" and the platform's own separator.
std::string archiveWindowTitle(std::string_view archivePath);

}  // namespace xcr

#endif  // APP_WINDOWTITLE_H
