#include "archive/StagingFolder.h"

#include <dirent.h>
#include <stdio.h>
#include <unistd.h>

#include <cstdlib>
#include <vector>

namespace xcr {

std::string systemTempFolder() {
    const char* fromEnvironment = std::getenv("TMPDIR");
    std::string folder = fromEnvironment && *fromEnvironment ? fromEnvironment : "/tmp";
    if (folder.size() > 1 && folder.back() == '/') {
        folder.pop_back();
    }
    return folder;
}

StagingFolder StagingFolder::create() {
    const std::string pattern = systemTempFolder() + "/pelloranXXXXXX";
    std::vector<char> name(pattern.begin(), pattern.end());
    name.push_back('\0');
    if (::mkdtemp(name.data()) == nullptr) {
        return StagingFolder(pattern);
    }
    return StagingFolder(std::string(name.data()));
}

std::string StagingFolder::fileInside(std::string_view name) const {
    return path_ + "/" + std::string(name);
}

void StagingFolder::removeFiles() const {
    DIR* folder = ::opendir(path_.c_str());
    if (folder == nullptr) {
        return;
    }
    while (const dirent* entry = ::readdir(folder)) {
        // unlink refuses folders, so subfolders and their contents stay.
        ::unlinkat(::dirfd(folder), entry->d_name, 0);
    }
    ::closedir(folder);
}

void StagingFolder::removeIfEmpty() const {
    ::rmdir(path_.c_str());
}

}  // namespace xcr
