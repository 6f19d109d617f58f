#ifndef ARCHIVE_OS_FAILURE_H
#define ARCHIVE_OS_FAILURE_H

#include <cstdint>
#include <stdexcept>
#include <string>

namespace xcr {
inline namespace os {

// A failure the user sees, carrying the program's own text.
class Failure : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

inline constexpr const char* kStreamReadError = "Stream read error";
// What ends the text of a save refused before it wrote anything.
inline constexpr const char* kLeftUnchanged = "; the archive was left unchanged";

// The texts of a file that cannot be opened or created, followed by the reason the system
// or a check gave, when there is one.
inline std::string cannotOpenText(const std::string& path, const std::string& reason = {}) {
    return "Cannot open file " + path + (reason.empty() ? "" : ": " + reason);
}
inline std::string cannotCreateText(const std::string& path, const std::string& reason = {}) {
    return "Cannot create file " + path + (reason.empty() ? "" : ": " + reason);
}
// The text of a file, or a folder's list of names, that could not be written or flushed to
// the disk, and why.
inline std::string cannotWriteText(const std::string& path, const std::string& reason) {
    return "Cannot write " + path + ": " + reason;
}
// The text of an archive whose listed data lies past its end.
inline std::string dataPastTheEndText(const std::string& archive, const std::string& data,
                                      std::int64_t end, std::int64_t length) {
    return "Cannot read " + archive + ": " + data + " ends at byte " + std::to_string(end) +
           ", past the end of the archive (" + std::to_string(length) + " bytes)";
}
// The reason the system gave for the last failed call.
std::string systemReason();
// No private folder for the temporary copies of entries could be made in `parent`.
inline std::string noStagingFolderText(const std::string& parent) {
    return "Cannot make a temporary copy: no private temporary folder could be created in " +
           parent;
}

}  // namespace os
}  // namespace xcr

#endif  // ARCHIVE_OS_FAILURE_H
