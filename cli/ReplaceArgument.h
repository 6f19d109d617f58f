#ifndef CLI_REPLACEARGUMENT_H
#define CLI_REPLACEARGUMENT_H

#include <string>

#include "archive/format/EntryTable.h"
#include "archive/jobs/ReplacementTable.h"

namespace xcr {

// One ENTRY=FILE argument of replace: the file from disk that is to take the entry's
// place. The entry is an index or a display name.
class ReplaceArgument {
public:
    // Splits at the first "=" (an entry whose name holds one is given by its index). An
    // argument without "=", an entry or a file is a usage error.
    static ReplaceArgument parse(const std::string& argument);

    // The replacement for the archive listed in `entries`. Throws xcr::Failure for a name
    // that no entry has, or that more than one has (naming their indexes).
    Replacement resolve(const EntryTable& entries) const;

private:
    ReplaceArgument(std::string entry, std::string file)
        : entry_(std::move(entry)), file_(std::move(file)) {}

    std::string entry_;
    std::string file_;
};

}  // namespace xcr

#endif  // CLI_REPLACEARGUMENT_H
