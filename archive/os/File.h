#ifndef ARCHIVE_OS_FILE_H
#define ARCHIVE_OS_FILE_H

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include <sys/stat.h>

#include "archive/os/FileIdentity.h"

namespace xcr {
inline namespace os {

// One open regular file. Files are read and written without a lock; only the held
// archive (lockExclusively()) and a file made afresh by open() take one, so a second
// holding of either fails, and a held file is never emptied by an opening to create it.
// Failures throw xcr::Failure with the program's texts.
class File {
public:
    enum class Access {
        Read,       // an existing file, read only
        Write,      // an existing file, write only, never truncated
        ReadWrite,  // an existing file, read and write, never truncated
        Create,     // create, or empty an existing file; read and write
    };

    // Fails with "Cannot open file %s" (or "Cannot create file %s") and the reason: the
    // system's, "not a regular file", or "the `kind` is in use by another program".
    static File open(const std::string& path, Access access, std::string_view kind = "file");
    // Creates the file `name` inside the folder open as `folderFd`, which must not exist
    // yet, for reading and writing by its owner only, never through a link. Fails with
    // "Cannot create file `path`" and the system's reason.
    static File createPrivate(int folderFd, const std::string& name, std::string path);
    // Opens the regular file `name` inside the folder open as `folderFd` for reading, never
    // through a link, and without a lock: the caller holds what guards it.
    static File openUnlockedIn(int folderFd, const std::string& name, std::string path);
    // Creates the file `name` inside the folder open as `folderFd`, write only. Fails when
    // anything of that name is there, a link included, so nothing existing is ever opened
    // or written through. Nobody else can hold a file this new, so it takes no lock.
    // `path` is the name failure texts give ("Cannot create file %s").
    static File createNew(int folderFd, const std::string& name, std::string path);

    File() = default;
    File(File&& other) noexcept;
    File& operator=(File&& other) noexcept;
    File(const File&) = delete;
    File& operator=(const File&) = delete;
    ~File();

    // A second handle on the same file for reading and writing, with no lock of its own:
    // the caller holds the lock through this one. Fails with "Cannot open file %s".
    File reopenForWriting() const;
    // Takes the exclusive, non-blocking lock that tells other openings (in this process or
    // in another copy of the program) the file is held. Fails with "Cannot open file %s:
    // the `kind` is in use by another program".
    void lockExclusively(std::string_view kind);

    bool isOpen() const { return fd_ >= 0; }
    // Whether this handle holds the file that `info` describes.
    bool sameFileAs(const struct stat& info) const;
    // The file's status now; fails with "Stream read error".
    struct stat status() const;
    FileIdentity identity() const { return FileIdentity::of(status()); }
    // Whether the file lies where the system makes files up as they are read (/proc,
    // /sys): their sizes say nothing of what a read gives.
    bool madeUpBySystem() const;
    // When the file was made, in nanoseconds since the epoch, or 0 where the file system
    // does not keep it: with the identity, it tells a file from a later one that took over
    // its inode.
    std::int64_t birthStamp() const;
    const std::string& path() const { return path_; }

    std::int64_t length() const;
    // Reads exactly size bytes from the file's position or throws "Stream read error".
    void readExact(void* buffer, std::size_t size);
    // Reads up to size bytes at a given position, fewer only at the end of the file,
    // leaving the file's position where it was; and writes all bytes there or throws
    // "Cannot write PATH" and the reason.
    std::size_t readAt(std::int64_t position, void* buffer, std::size_t size);
    void writeAt(std::int64_t position, const void* buffer, std::size_t size);
    // readAt() for ranges that may lie in a hole of a sparse file: a range the file system
    // reports as a hole is filled with zeros without reading it, so that gigabytes of holes
    // cost neither the kernel's page cache nor its time.
    std::size_t readMaybeSparse(std::int64_t position, void* buffer, std::size_t size);
    // Copies up to size bytes from `from` of this file to `to` of `target` inside the
    // kernel, leaving both files' positions where they were. Returns the count, 0 at the
    // end of this file, or -1 when the kernel cannot copy between the two, or would be
    // slower at it than a buffer because the two positions lie at different places within
    // a page (the caller then copies through a buffer, which also names the side that
    // failed).
    std::int64_t copyRangeTo(File& target, std::int64_t from, std::int64_t to, std::size_t size);
    void truncate(std::int64_t length);
    // Asks the kernel to start writing the range to the disk without waiting, so that a
    // later sync() finds most of it written already. Ranges that follow one another are
    // handed over together once they make 8 MiB: each request costs the kernel and the disk
    // a submission of its own. Best effort: sync() reports failures.
    void startWriteBack(std::int64_t position, std::int64_t size);
    // Flushes the file's data to the disk.
    void sync();
    // Closes the file, failing with "Cannot write PATH" when the file system reports
    // that bytes handed to it earlier did not reach the file.
    void closeWritten();
    void close();

private:
    File(int fd, std::string path) : fd_(fd), path_(std::move(path)) {}

    int fd_ = -1;
    std::string path_;
    // What startWriteBack() was asked for and has not handed over yet.
    std::int64_t writeBackFrom_ = 0;
    std::int64_t writeBackTo_ = 0;
};

}  // namespace os
}  // namespace xcr

#endif  // ARCHIVE_OS_FILE_H
