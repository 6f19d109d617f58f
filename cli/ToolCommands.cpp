#include "cli/ToolCommands.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstring>
#include <functional>
#include <iostream>
#include <memory>
#include <sstream>

#include "archive/jobs/CheckMarks.h"
#include "archive/jobs/ExtractionJob.h"
#include "archive/jobs/FolderReplacements.h"
#include "archive/jobs/ReplacementSource.h"
#include "archive/jobs/SaveJob.h"
#include "archive/jobs/UndoJob.h"
#include "archive/os/Failure.h"
#include "archive/store/HeldArchive.h"
#include "archive/store/OpenedArchive.h"
#include "archive/undo/UndoHistory.h"
#include "cli/ArchiveCheck.h"
#include "cli/CommandSupport.h"
#include "cli/EntryChooser.h"
#include "cli/EntryListing.h"
#include "cli/EntryToStandardOutput.h"
#include "cli/NameText.h"
#include "cli/ReplaceArgument.h"
#include "cli/SharedNames.h"
#include "cli/TerminalProgress.h"
#include "cli/ToolFailure.h"
#include "cli/UndoListing.h"
#include "cli/WrittenNames.h"

namespace xcr {

namespace {

// Any file is listed as an archive; one whose directory does not fit it gets a warning, so
// that a table of garbage is not taken at its word.
void warnIfNotWhole(OpenedArchive& opened) {
    const std::string& archive = opened.archive.path();
    const std::vector<std::string> problems = findDirectoryProblems(opened.archive, opened.entries);
    if (problems.empty()) {
        return;
    }
    const std::string more =
        problems.size() == 1 ? "" : "1 of " + std::to_string(problems.size()) + " problems; ";
    std::cerr << "xcrtool: warning: " << archive << " does not hold together: " << problems.front()
              << " (" << more << "see xcrtool check)" << std::endl;
}

// A folder that is already there is used; anything else of that name is in the way.
void makeFolder(const std::string& folder) {
    if (::mkdir(folder.c_str(), 0777) == 0) {
        return;
    }
    int error = errno;
    if (error == EEXIST) {
        struct stat found {};
        if (::stat(folder.c_str(), &found) == 0 && S_ISDIR(found.st_mode)) {
            return;
        }
        error = ENOTDIR;
    }
    throw Failure("Cannot create folder " + folder + ": " + std::strerror(error));
}

void throwIfFailed(const JobOutcome& outcome) {
    if (!outcome.ok()) {
        throw Failure(outcome.failure);
    }
}

void writeOneEntry(const ExtractArguments& arguments, OpenedArchive& opened,
                   const std::vector<int>& chosen) {
    if (chosen.size() != 1) {
        throw Failure("\"" + arguments.entries.front() + "\" chooses " +
                      std::to_string(chosen.size()) +
                      " entries; --stdout writes one (give its index)");
    }
    opened.archive.refuseIfChanged(opened.entries, "extracting");
    writeEntryToStandardOutput(opened.archive.file(), opened.entries.placement(chosen.front()));
}

std::int64_t fileSize(const std::string& path) {
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0) {
        throw Failure(cannotOpenText(path, systemReason()));
    }
    return info.st_size;
}

// What a dry run would save, one line an entry; nothing at all when a file is missing.
void writePlan(std::ostream& out, const EntryTable& entries, const ReplacementTable& table) {
    std::ostringstream plan;
    for (const Replacement& replacement : table.list()) {
        plan << "entry " << replacement.index << " \""
             << printableName(entries.displayName(replacement.index)) << "\": " << replacement.path
             << " (" << entries.placement(replacement.index).size << " -> "
             << fileSize(replacement.path) << " bytes)\n";
    }
    out << plan.str();
}

void recordFromFolder(const ReplaceArguments& arguments, OpenedArchive& opened,
                      ReplacementTable& table, std::ostream& out) {
    const FolderReplacements found =
        FolderReplacements::match(arguments.folder, opened.archive, opened.entries);
    for (const FolderReplacements::Match& match : found.recorded) {
        table.record(match.replacement.index, match.replacement.path, match.replacement.source);
    }
    const auto shown = [](std::string_view name) { return printableName(name); };
    out << found.summary(shown, arguments.dryRun ? "Would record" : "Recorded") << '\n';
}

}  // namespace

void listEntries(const ListArguments& arguments, std::ostream& out) {
    OpenedArchive opened = openAndTell(arguments.archive);
    warnIfNotWhole(opened);
    if (arguments.json) {
        writeEntryJson(out, opened.entries);
    } else {
        writeEntryTable(out, opened.entries);
    }
}

void extractEntries(const ExtractArguments& arguments, std::ostream& out) {
    if (arguments.folder.empty()) {
        throw ToolFailure("the folder given with -o is empty", kUsageStatus);
    }
    if (arguments.toStandardOutput && arguments.entries.size() != 1) {
        throw ToolFailure("--stdout writes exactly one ENTRY", kUsageStatus);
    }
    OpenedArchive opened = openAndTell(arguments.archive);
    warnIfNotWhole(opened);
    const std::vector<int> chosen = EntryChooser(opened.entries).choose(arguments.entries);
    if (arguments.toStandardOutput) {
        writeOneEntry(arguments, opened, chosen);
        return;
    }
    // Every mark is set for each chosen entry, so an entry chosen twice is written once.
    auto marks = std::make_shared<CheckMarks>(opened.entries.count());
    for (const int index : chosen) {
        marks->set(index, true);
    }
    makeFolder(arguments.folder);
    ExtractionRequest request{std::move(opened.archive), arguments.folder, opened.entries,
                              std::move(marks)};
    request.folderParts = arguments.folderParts;
    // The names written are the progress when they are asked for.
    if (arguments.verbose) {
        WrittenNames names(opened.entries, out, arguments.folderParts);
        throwIfFailed(runExtraction(std::move(request), names));
    } else {
        TerminalProgress progress("extracting " + arguments.archive);
        throwIfFailed(runExtraction(std::move(request), progress));
    }
    const std::string warning = sharedNamesWarning(opened.entries, chosen, arguments.folderParts);
    if (!warning.empty()) {
        throw Failure(warning);
    }
}

void replaceEntries(const ReplaceArguments& arguments, std::ostream& out) {
    if (arguments.replacements.empty() && arguments.folder.empty()) {
        throw ToolFailure("give ENTRY=FILE replacements, --from DIR or both", kUsageStatus);
    }
    // The arguments are checked before the archive is opened, and opening may apply a
    // journal.
    std::vector<ReplaceArgument> parsed;
    for (const std::string& argument : arguments.replacements) {
        parsed.push_back(ReplaceArgument::parse(argument));
    }
    OpenedArchive opened =
        openAndTell(arguments.archive,
                    arguments.dryRun ? HeldArchive::Access::Read : HeldArchive::Access::ReadWrite);
    ReplacementTable replacements;
    if (!arguments.folder.empty()) {
        recordFromFolder(arguments, opened, replacements, out);
    }
    for (const ReplaceArgument& argument : parsed) {
        const Replacement replacement = argument.resolve(opened.entries);
        replacements.record(replacement.index, replacement.path,
                            identifyReplacement(replacement.path));
    }
    if (arguments.dryRun) {
        writePlan(out, opened.entries, replacements);
        return;
    }
    if (replacements.list().empty()) {
        return;  // the folder gave nothing to save
    }
    out.flush();
    // Nothing of this run is ever staged, so there is no staging folder to empty.
    SaveRequest request{std::move(opened.archive), opened.entries, replacements.list(), {}, {}};
    runUncut(arguments.archive, "save", "saving " + arguments.archive,
             [&](JobProgress& progress) { return runSave(std::move(request), progress); });
}

void showHistory(const std::string& archive, std::ostream& out) {
    OpenedArchive opened = openAndTell(archive);
    writeUndoHistory(out, archive, undoHistory(opened.archive, {}));
}

void undoSaves(const UndoArguments& arguments, std::ostream& out) {
    const auto archive = std::make_shared<HeldArchive>(
        std::move(openAndTell(arguments.archive, HeldArchive::Access::ReadWrite).archive));
    for (int step = 1; step <= arguments.steps; ++step) {
        runUncut(arguments.archive, "undo", "undoing a save of " + arguments.archive,
                 [&](JobProgress& progress) {
                     return runUndo({archive, std::nullopt, {}}, progress);
                 });
        out << arguments.archive << ": save " << step << " undone\n";
    }
}

void checkArchive(const std::string& archive, std::ostream& out) {
    const std::vector<std::string> problems = findArchiveProblems(archive);
    for (const std::string& problem : problems) {
        out << archive << ": " << problem << '\n';
    }
    if (problems.empty()) {
        out << archive << ": no problems found\n";
        return;
    }
    out.flush();
    throw Failure(archive + ": " + std::to_string(problems.size()) +
                  (problems.size() == 1 ? " problem" : " problems") + " found");
}

}  // namespace xcr
