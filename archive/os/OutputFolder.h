#ifndef ARCHIVE_OS_OUTPUTFOLDER_H
#define ARCHIVE_OS_OUTPUTFOLDER_H

#include <sys/stat.h>

#include <functional>
#include <memory>
#include <string>

#include "archive/os/FileIdentity.h"

namespace xcr {
inline namespace os {

// The extraction folder, held open for a whole job. Outputs are created and named
// relative to the open folder, never through its path again, so a path swapped for a
// link while the job runs does not move where the files land.
class OutputFolder {
public:
    // Opens the folder; a link to a folder is followed here, once. A folder that cannot
    // be opened is no failure yet (a job with nothing checked writes nothing): the first
    // output made in it fails instead.
    explicit OutputFolder(std::string path);
    OutputFolder(const OutputFolder&) = delete;
    OutputFolder& operator=(const OutputFolder&) = delete;
    ~OutputFolder();

    bool isOpen() const { return fd_ >= 0; }
    // The folder `name` in this one, made first when it is missing, never through a link
    // (a link of that name fails), named `path` in failure texts. Fails with "Cannot
    // create folder `path`" and the reason.
    std::unique_ptr<OutputFolder> subfolder(const std::string& name, std::string path) const;
    int fd() const { return fd_; }
    const std::string& path() const { return path_; }

    // Names no output may take: `kept(folder, name, there)` is asked with this folder's
    // identity, the name and what lies there now (nothing when nothing does).
    using KeptName = std::function<bool(const FileIdentity& folder, const std::string& name,
                                        const struct stat* there)>;
    void keepAway(KeptName kept) { kept_ = std::move(kept); }
    const KeptName& keptNames() const { return kept_; }

    // Gives the file `from` the name `to` in one step, replacing whatever held that name
    // (a file, a hard link, a link dangling or not) without opening it. A folder of that
    // name stays and the rename fails with "Cannot create file `pathForTexts`", as does a
    // name kept away.
    void rename(const std::string& from, const std::string& to,
                const std::string& pathForTexts) const;
    // Removes the file `name`; best effort, as a cleanup on a path that already failed.
    void remove(const std::string& name) const;

private:
    OutputFolder(int fd, std::string path) : path_(std::move(path)), fd_(fd) {}

    std::string path_;
    int fd_ = -1;
    KeptName kept_;
};

}  // namespace os
}  // namespace xcr

#endif  // ARCHIVE_OS_OUTPUTFOLDER_H
