#ifndef ARCHIVE_OS_FOLDER_H
#define ARCHIVE_OS_FOLDER_H

#include <string>
#include <vector>

#include "archive/os/File.h"

namespace xcr {
inline namespace os {

// A folder held open by its descriptor, so that what lies under it is reached from it and
// never through its path again. Below the folder first opened, no link is ever followed.
class Folder {
public:
    enum class Kind { Missing, Regular, Folder, Link, Other };

    // Opens the folder at `path`; a link to a folder is followed here, once. Fails with
    // the system's reason.
    static Folder open(const std::string& path);

    Folder() = default;
    Folder(Folder&& other) noexcept;
    Folder& operator=(Folder&& other) noexcept;
    Folder(const Folder&) = delete;
    Folder& operator=(const Folder&) = delete;
    ~Folder();

    bool isOpen() const { return fd_ >= 0; }

    // What lies at `name`, a link not followed.
    Kind kindOf(const std::string& name) const;
    // The folder `name` in this one, never through a link; not open when there is none
    // or it cannot be read.
    Folder child(const std::string& name) const;
    // The regular file `name` in this one, for reading, never through a link; `path`
    // names it in failure texts.
    File file(const std::string& name, std::string path) const;
    // The names in this folder, sorted, "." and ".." left out. Fails with the system's
    // reason.
    std::vector<std::string> names() const;

private:
    explicit Folder(int fd) : fd_(fd) {}

    int fd_ = -1;
};

// The names in the folder open as `folderFd`, sorted, "." and ".." left out. Fails with
// the system's reason.
std::vector<std::string> namesIn(int folderFd);
// The same, or none when the folder cannot be listed, for a cleanup that goes on.
std::vector<std::string> namesOrNone(int folderFd);

// The file that `path` names: the link's target when the name itself is a link, so that
// every name that leads to a file finds the same one; the path as it is otherwise.
// Fails with "Cannot open file %s" when the link cannot be followed.
std::string fileBehindLink(const std::string& path);

}  // namespace os
}  // namespace xcr

#endif  // ARCHIVE_OS_FOLDER_H
