#ifndef CLI_TOOLCOMMANDS_H
#define CLI_TOOLCOMMANDS_H

#include <ostream>
#include <string>
#include <vector>

namespace xcr {

// The commands of xcrtool. Each opens the archive as the window's Open XCR does (a
// journal left by an interrupted save is applied first, which is said on standard
// error), except check, which only reads. Failures throw xcr::Failure, or ToolFailure
// when they end with an exit status of their own.

struct ListArguments {
    std::string archive;
    bool json = false;
};
void listEntries(const ListArguments& arguments, std::ostream& out);

struct ExtractArguments {
    std::string archive;
    std::string folder = ".";
    std::vector<std::string> entries;  // NAME, INDEX or GLOB; all entries when empty
    bool verbose = false;              // name each file written on `out`
    bool folderParts = false;          // under the folders of the stored names
    bool toStandardOutput = false;     // the one entry chosen, to standard output
};
// Writes the chosen entries into the folder, which is made when it is missing, each under
// the safe name the window gives it (inside the folders of its stored name with
// folderParts). Entries written to one file are all written, the last one kept, and then
// the command fails naming them.
void extractEntries(const ExtractArguments& arguments, std::ostream& out);

struct ReplaceArguments {
    std::string archive;
    std::vector<std::string> replacements;  // ENTRY=FILE
    std::string folder;                     // the files of a folder, matched by name
    bool dryRun = false;
};
// Saves the archive with the replacements through the window's save, which Ctrl+C,
// SIGTERM and SIGHUP cannot cut off. Those from a folder come first, so an ENTRY=FILE
// given too has the last word; what the folder gave is summed up on `out`. A dry run
// writes what would be replaced to `out` and saves nothing.
void replaceEntries(const ReplaceArguments& arguments, std::ostream& out);

// Writes the saves of the archive that can be undone, newest first.
void showHistory(const std::string& archive, std::ostream& out);

struct UndoArguments {
    std::string archive;
    int steps = 1;  // 1 or more
};
// Undoes the archive's newest saves, one after the other, each as a save is run; stops at
// the first that cannot be undone.
void undoSaves(const UndoArguments& arguments, std::ostream& out);

// Writes the archive's problems to `out`, or a line saying it has none; throws when it
// has any.
void checkArchive(const std::string& archive, std::ostream& out);

}  // namespace xcr

#endif  // CLI_TOOLCOMMANDS_H
