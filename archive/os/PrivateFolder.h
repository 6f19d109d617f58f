#ifndef ARCHIVE_OS_PRIVATEFOLDER_H
#define ARCHIVE_OS_PRIVATEFOLDER_H

#include <string>

namespace xcr {
inline namespace os {

// The user's folder that the environment variable `variable` names when it holds an
// absolute path, else `underHome` in the user's home folder (".cache", ".local/state").
std::string userFolder(const char* variable, const char* underHome);

// Whether `path` is a folder of the user's own, and no link.
bool isOwnFolder(const std::string& path);

// Makes every missing folder on the way to `folder`, private to the user and flushed into
// the folder above, and makes `folder` itself private even when it was there already.
// Fails when it is not a folder of the user's own (another user's, or a link).
void makePrivateFolder(const std::string& folder);

}  // namespace os
}  // namespace xcr

#endif  // ARCHIVE_OS_PRIVATEFOLDER_H
