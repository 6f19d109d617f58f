#ifndef CLI_PATCHCOMMANDS_H
#define CLI_PATCHCOMMANDS_H

#include <ostream>
#include <string>

namespace xcr {

// The mod patch commands of xcrtool: diff makes a patch, apply saves one into an archive,
// patch-info lists one. Failures throw xcr::Failure, or ToolFailure with a status of its own.

struct DiffArguments {
    std::string original;
    std::string modified;
    std::string patch;
};
// Writes the patch of every entry whose bytes differ and says what it wrote.
void diffArchivesCommand(const DiffArguments& arguments, std::ostream& out);

struct ApplyArguments {
    std::string archive;
    std::string patch;
    bool dryRun = false;
};
// Checks the whole patch against the archive, then saves it as replace saves (one
// journaled save, one undo record); entries that hold the patch's bytes already are
// skipped. A dry run says what would happen and saves nothing.
void applyPatchCommand(const ApplyArguments& arguments, std::ostream& out);

// Lists the entries of a patch once its every byte has been checked.
void showPatch(const std::string& patch, std::ostream& out);

}  // namespace xcr

#endif  // CLI_PATCHCOMMANDS_H
