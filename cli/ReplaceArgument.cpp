#include "cli/ReplaceArgument.h"

#include "archive/os/Failure.h"
#include "cli/EntryChooser.h"
#include "cli/ToolFailure.h"

namespace xcr {

ReplaceArgument ReplaceArgument::parse(const std::string& argument) {
    const auto equals = argument.find('=');
    if (equals == std::string::npos || equals == 0 || equals + 1 == argument.size()) {
        throw ToolFailure("\"" + argument + "\" is not ENTRY=FILE", kUsageStatus);
    }
    return {argument.substr(0, equals), argument.substr(equals + 1)};
}

Replacement ReplaceArgument::resolve(const EntryTable& entries) const {
    const EntryChooser chooser(entries);
    if (const std::optional<int> index = chooser.index(entry_)) {
        return {*index, file_};
    }
    const std::vector<int> found = chooser.named(entry_);
    if (found.empty()) {
        throw Failure("No entry is named \"" + entry_ + "\"");
    }
    if (found.size() > 1) {
        std::string indexes;
        for (const int i : found) {
            indexes += (indexes.empty() ? "" : ", ") + std::to_string(i);
        }
        throw Failure("More than one entry is named \"" + entry_ + "\" (entries " + indexes +
                      "); give the index of the one to replace");
    }
    return {found.front(), file_};
}

}  // namespace xcr
