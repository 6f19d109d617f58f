#ifndef ARCHIVE_PATHS_SAFENAME_H
#define ARCHIVE_PATHS_SAFENAME_H

#include <string>
#include <string_view>

namespace xcr {
inline namespace paths {

// The platform's separator, which leads a safe file name and joins it to a folder.
inline constexpr char kPathSeparator = '/';

// The separator followed by the display name with every ":", "\" and "/" replaced by
// "_", so the name can never reach outside the folder it is joined to.
std::string safeFileName(std::string_view displayName);

// The extraction folder immediately followed by the entry's safe file name (a folder
// that ends in a separator, the root, gives a doubled separator, read as one). A name
// that would make the output the folder itself or its parent (empty, "." or "..")
// fails with "Cannot create file %s".
std::string extractionOutputPath(const std::string& folder, std::string_view displayName);

}  // namespace paths
}  // namespace xcr

#endif  // ARCHIVE_PATHS_SAFENAME_H
