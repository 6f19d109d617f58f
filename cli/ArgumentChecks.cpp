#include "cli/ArgumentChecks.h"

#include <charconv>

namespace xcr {

std::string archiveArgumentFault(const std::string& archive) {
    return archive == "-" ? "standard input cannot be an archive: an archive is read and "
                            "changed in place (name a file \"-\" as ./-)"
                          : "";
}

std::string folderArgumentFault(const std::string& folder) {
    return folder == "-" ? "standard output is no folder; write one entry there with --stdout, "
                           "or name a folder \"-\" as ./-"
                         : "";
}

std::string patchArgumentFault(const std::string& patch) {
    return patch == "-" ? "a patch cannot be standard input or output: it is read as a file "
                          "(name a file \"-\" as ./-)"
                        : "";
}

std::string stepsArgumentFault(const std::string& steps) {
    int count = 0;
    const char* end = steps.data() + steps.size();
    const auto [stop, error] = std::from_chars(steps.data(), end, count);
    if (error == std::errc() && stop == end && count >= 1) {
        return "";
    }
    return "--steps takes a whole number from 1, not \"" + steps + "\"";
}

}  // namespace xcr
