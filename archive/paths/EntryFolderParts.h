#ifndef ARCHIVE_PATHS_ENTRYFOLDERPARTS_H
#define ARCHIVE_PATHS_ENTRYFOLDERPARTS_H

#include <string>
#include <string_view>
#include <vector>

namespace xcr {
inline namespace paths {

// The folders a stored name puts its display name in: the parts before the display name,
// separated by "\" or ":", each made a name that stays inside the folder it lies in.
// Empty parts and "." name no folder of their own and are left out, so neither a leading
// separator nor a drive makes the path absolute; ".." becomes "__", and "/" in a part
// becomes "_" as in a safe file name. "art\landscape\hills.bmp" gives art, landscape;
// "..\..\x" gives __, __.
std::vector<std::string> entryFolderParts(std::string_view storedName);

}  // namespace paths
}  // namespace xcr

#endif  // ARCHIVE_PATHS_ENTRYFOLDERPARTS_H
