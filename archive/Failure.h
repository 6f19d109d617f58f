#ifndef ARCHIVE_FAILURE_H
#define ARCHIVE_FAILURE_H

#include <stdexcept>
#include <string>

namespace xcr {

// A failure the user sees, carrying the program's own text.
class Failure : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

inline constexpr const char* kStreamReadError = "Stream read error";
inline constexpr const char* kStreamWriteError = "Stream write error";

// The texts of a file that cannot be opened or created, followed by the reason the system
// or a check gave, when there is one.
inline std::string cannotOpenText(const std::string& path, const std::string& reason = {}) {
    return "Cannot open file " + path + (reason.empty() ? "" : ": " + reason);
}
inline std::string cannotCreateText(const std::string& path, const std::string& reason = {}) {
    return "Cannot create file " + path + (reason.empty() ? "" : ": " + reason);
}
// The reason the system gave for the last failed call.
std::string systemReason();
// No private folder for the temporary copies of entries could be made in `parent`.
inline std::string noStagingFolderText(const std::string& parent) {
    return "Cannot make a temporary copy: no private temporary folder could be created in " +
           parent;
}

}  // namespace xcr

#endif  // ARCHIVE_FAILURE_H
