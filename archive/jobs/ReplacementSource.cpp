#include "archive/jobs/ReplacementSource.h"

#include "archive/os/Failure.h"

namespace xcr {
inline namespace jobs {

File openReplacement(const Replacement& replacement) {
    File file = File::open(replacement.path, File::Access::Read);
    if (file.madeUpBySystem()) {
        throw Failure(cannotOpenText(replacement.path,
                                     "not a regular file (the system makes it up as it is read)"));
    }
    if (replacement.source != FileIdentity{} && file.identity() != replacement.source) {
        throw Failure(cannotOpenText(replacement.path,
                                     "it is no longer the file chosen to replace the entry "
                                     "(another file or a link took its name)"));
    }
    return file;
}

FileIdentity identifyReplacement(const std::string& path) {
    return openReplacement({0, path, {}}).identity();
}

}  // namespace jobs
}  // namespace xcr
