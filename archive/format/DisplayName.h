#ifndef ARCHIVE_FORMAT_DISPLAYNAME_H
#define ARCHIVE_FORMAT_DISPLAYNAME_H

#include <string>
#include <string_view>

namespace xcr {
inline namespace format {

// The final component of a stored name: the bytes after the last "\" or ":".
std::string displayName(std::string_view storedName);
// Where that component starts in the stored name.
std::size_t displayNameStart(std::string_view storedName);

}  // namespace format
}  // namespace xcr

#endif  // ARCHIVE_FORMAT_DISPLAYNAME_H
