#ifndef ARCHIVE_STAGINGFOLDER_H
#define ARCHIVE_STAGINGFOLDER_H

#include <string>
#include <string_view>

namespace xcr {

// The run's private working folder: a fresh folder of the system's temporary folder,
// named "pelloran" and a unique suffix, readable only by its owner. Removed by
// removeIfEmpty() at exit; a folder that still holds files is left for the user.
class StagingFolder {
public:
    // Creates the folder. On failure the path is still fixed, and later users of it fail
    // with their own messages.
    static StagingFolder create();
    // Uses an existing folder (tests).
    explicit StagingFolder(std::string path) : path_(std::move(path)) {}

    const std::string& path() const { return path_; }
    // The path of `name` inside the folder.
    std::string fileInside(std::string_view name) const;
    // Deletes every file in the folder, ignoring failure; subfolders stay.
    void removeFiles() const;
    void removeIfEmpty() const;

private:
    std::string path_;
};

// The system's temporary folder without a trailing separator.
std::string systemTempFolder();

}  // namespace xcr

#endif  // ARCHIVE_STAGINGFOLDER_H
