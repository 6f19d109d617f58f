#ifndef ARCHIVE_DISPLAYNAME_H
#define ARCHIVE_DISPLAYNAME_H

#include <string>
#include <string_view>

namespace xcr {

// The final component of a stored name: the bytes after the last "\" or ":".
std::string displayName(std::string_view rawName);
// Where that component starts in the stored name.
std::size_t displayNameStart(std::string_view rawName);

// The window title after an archive was opened: "Pelloran Plus 3 - " and the file name
// of the archive path, split on "\", ":" and the platform's own separator.
std::string archiveWindowTitle(std::string_view archivePath);

inline constexpr const char* kApplicationTitle = "Pelloran Plus 3";

}  // namespace xcr

#endif  // ARCHIVE_DISPLAYNAME_H
