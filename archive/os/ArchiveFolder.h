#ifndef ARCHIVE_OS_ARCHIVEFOLDER_H
#define ARCHIVE_OS_ARCHIVEFOLDER_H

#include <sys/stat.h>

#include <optional>
#include <string>
#include <vector>

#include "archive/os/File.h"
#include "archive/os/FileIdentity.h"

namespace xcr {
inline namespace os {

// The folder that holds an archive, held open while the archive is held: its journal is
// created, read, set aside and removed relative to it, never found by its path again.
class ArchiveFolder {
public:
    // Opens the folder; fails with "Cannot open file `archivePath`" and the reason.
    static ArchiveFolder open(const std::string& folderPath, const std::string& archivePath);

    ArchiveFolder() = default;
    ArchiveFolder(ArchiveFolder&& other) noexcept;
    ArchiveFolder& operator=(ArchiveFolder&& other) noexcept;
    ArchiveFolder(const ArchiveFolder&) = delete;
    ArchiveFolder& operator=(const ArchiveFolder&) = delete;
    ~ArchiveFolder();

    const std::string& path() const { return path_; }
    // The path texts give for `name` in this folder.
    std::string pathOf(const std::string& name) const;
    FileIdentity identity() const;
    // What lies at `name`, a link not followed; nothing when nothing does.
    std::optional<struct stat> entry(const std::string& name) const;
    // The names in the folder, sorted; fails with the system's reason.
    std::vector<std::string> names() const;
    // Opens the file `name` for reading, never through a link and without a lock.
    File openForReading(const std::string& name) const;
    File createPrivate(const std::string& name) const;
    // Deletes the file `name`; fails with "Cannot delete file %s" and the reason.
    void remove(const std::string& name) const;
    // Gives the file `name` a new name beside it that nothing has yet, and returns it.
    std::string setAside(const std::string& name) const;
    // Flushes the folder, so that a file created, renamed or deleted in it stays so after
    // a power cut. Fails with "Cannot write FOLDER" and the reason.
    void sync() const;

private:
    ArchiveFolder(int fd, std::string path) : fd_(fd), path_(std::move(path)) {}

    int fd_ = -1;
    std::string path_;
};

}  // namespace os
}  // namespace xcr

#endif  // ARCHIVE_OS_ARCHIVEFOLDER_H
