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

inline std::string cannotOpenText(const std::string& path) {
    return "Cannot open file " + path;
}
inline std::string cannotCreateText(const std::string& path) {
    return "Cannot create file " + path;
}
// No private folder for the temporary copies of entries could be made in `parent`.
inline std::string noStagingFolderText(const std::string& parent) {
    return "Cannot make a temporary copy: no private temporary folder could be created in " +
           parent;
}

}  // namespace xcr

#endif  // ARCHIVE_FAILURE_H
