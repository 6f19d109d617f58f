#include "archive/os/PrivateFolder.h"

#include <fcntl.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>

#include "archive/os/Failure.h"
#include "archive/os/SystemCalls.h"

namespace xcr {
inline namespace os {

namespace {

// Flushes the folder at `path`, so that the folder `made` in it outlasts a power cut, as
// the files flushed into it must.
void flushMade(const std::string& path, const std::string& made) {
    SystemCalls& os = systemCalls();
    const int fd = os.open(path.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    const bool flushed = fd >= 0 && os.fsync(fd) == 0;
    const std::string reason = flushed ? "" : systemReason();
    if (fd >= 0) {
        ::close(fd);
    }
    if (!flushed) {
        throw Failure("Cannot create folder " + made + ": " + reason);
    }
}

// A folder, and the user's: what a link's own status never is.
bool isOwnFolder(const struct stat& info) {
    return S_ISDIR(info.st_mode) && info.st_uid == ::geteuid();
}

}  // namespace

std::string userFolder(const char* variable, const char* underHome) {
    const char* named = std::getenv(variable);
    if (named != nullptr && named[0] == '/') {
        return named;
    }
    const char* home = std::getenv("HOME");
    if (home == nullptr || home[0] != '/') {
        const passwd* user = ::getpwuid(::geteuid());
        home = user != nullptr ? user->pw_dir : "/";
    }
    return std::string(home) + "/" + underHome;
}

bool isOwnFolder(const std::string& path) {
    struct stat there {};
    return ::lstat(path.c_str(), &there) == 0 && isOwnFolder(there);
}

void makePrivateFolder(const std::string& folder) {
    for (std::size_t before = 0, cut = folder.find('/', 1);;
         before = cut, cut = folder.find('/', cut + 1)) {
        const std::string prefix = folder.substr(0, cut);
        if (systemCalls().mkdir(prefix.c_str(), 0700) == 0) {
            flushMade(before == 0 ? "/" : folder.substr(0, before), prefix);
        } else if (errno != EEXIST) {
            throw Failure("Cannot create folder " + prefix + ": " + systemReason());
        }
        if (cut == std::string::npos) {
            break;
        }
    }
    struct stat info {};
    if (::lstat(folder.c_str(), &info) != 0 || !isOwnFolder(info)) {
        throw Failure("The folder " + folder + " is not a folder of this user's");
    }
    if ((info.st_mode & 077) != 0 && ::chmod(folder.c_str(), 0700) != 0) {
        throw Failure("Cannot make the folder " + folder + " private: " + systemReason());
    }
}

}  // namespace os
}  // namespace xcr
