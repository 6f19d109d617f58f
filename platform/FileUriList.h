#ifndef PLATFORM_FILEURILIST_H
#define PLATFORM_FILEURILIST_H

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace xcr {

// The "text/uri-list" form in which the desktop hands files over by drag and drop, kept
// as bytes throughout: a file name is any bytes but '/' and NUL and need not be UTF-8,
// so a name that passed through a Unicode string could come back as another file's.

// "file://" and the path, each byte outside the unreserved characters and '/' written
// as a percent escape.
std::string fileUriOf(std::string_view path);
// The paths' URIs, each on a line ended by CRLF.
std::string fileUriListOf(const std::vector<std::string>& paths);
// The URIs of a list in their order: its lines without line ends, comment lines and
// empty lines left out.
std::vector<std::string> urisIn(std::string_view list);
// The path a "file:" URI names on this machine (no host or "localhost"), its escapes
// decoded to bytes. Nothing for another scheme or host, a query or fragment, a broken
// escape or an escaped NUL byte.
std::optional<std::string> localPathOf(std::string_view uri);

}  // namespace xcr

#endif  // PLATFORM_FILEURILIST_H
