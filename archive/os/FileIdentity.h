#ifndef ARCHIVE_OS_FILEIDENTITY_H
#define ARCHIVE_OS_FILEIDENTITY_H

#include <sys/stat.h>

#include <cstdint>

namespace xcr {
inline namespace os {

// Which file a name led to: its device and inode, the same through every name and link.
struct FileIdentity {
    std::uint64_t device = 0;
    std::uint64_t inode = 0;

    static FileIdentity of(const struct stat& info) {
        return {static_cast<std::uint64_t>(info.st_dev), static_cast<std::uint64_t>(info.st_ino)};
    }
    bool operator==(const FileIdentity&) const = default;
};

}  // namespace os
}  // namespace xcr

#endif  // ARCHIVE_OS_FILEIDENTITY_H
