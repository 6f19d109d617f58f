#ifndef ARCHIVE_OS_STAGINGFOLDER_H
#define ARCHIVE_OS_STAGINGFOLDER_H

#include <string>
#include <string_view>

namespace xcr {
inline namespace os {

// The run's private working folder: a fresh folder of the system's temporary folder,
// named by a prefix ("pelloran" unless another is given) and a unique suffix, readable
// only by its owner. The run holds an exclusive lock on the folder itself (not on a file
// inside, which emptying the folder would delete) until the object goes, so the next
// start can tell the folder of a live run from one a crashed or killed run left behind.
// Removed by removeIfEmpty() at exit.
class StagingFolder {
public:
    static constexpr std::string_view kStagingPrefix = "pelloran";

    // Removes the folders that earlier runs left in the system's temporary folder, then
    // creates this run's folder there.
    static StagingFolder create();
    // The same in `parent`, for folders named by `prefix`. When no folder can be made
    // there, nothing takes its place: the object has no folder, and fileInside() refuses.
    static StagingFolder createIn(const std::string& parent,
                                  std::string_view prefix = kStagingPrefix);
    // Uses an existing folder, without locking it (tests).
    explicit StagingFolder(std::string path) : path_(std::move(path)) {}

    StagingFolder(StagingFolder&& other) noexcept;
    StagingFolder& operator=(StagingFolder&& other) noexcept;
    StagingFolder(const StagingFolder&) = delete;
    StagingFolder& operator=(const StagingFolder&) = delete;
    // Releases the lock; the folder stays.
    ~StagingFolder();

    bool hasPath() const { return !path_.empty(); }
    // Empty when no folder could be made.
    const std::string& path() const { return path_; }
    // The path of `name` inside the folder. Throws xcr::Failure, naming the temporary
    // folder, when there is no folder.
    std::string fileInside(std::string_view name) const;
    // Deletes every file in the folder, ignoring failure; subfolders stay.
    void removeFiles() const;
    void removeIfEmpty() const;

private:
    StagingFolder(std::string path, std::string parent, int lock)
        : path_(std::move(path)), parent_(std::move(parent)), lock_(lock) {}

    // Empties and removes every folder of ours of the prefix in `parent` whose lock is
    // free: its run has ended without removing it. Quiet on every failure.
    static void sweepStale(const std::string& parent, std::string_view prefix);

    std::string path_;
    // Where the folder was to be made; named when there is none.
    std::string parent_;
    int lock_ = -1;
};

// The system's temporary folder without a trailing separator.
std::string systemTempFolder();

}  // namespace os
}  // namespace xcr

#endif  // ARCHIVE_OS_STAGINGFOLDER_H
