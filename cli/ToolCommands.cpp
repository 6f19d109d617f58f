#include "cli/ToolCommands.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstring>
#include <functional>
#include <iostream>
#include <memory>

#include "archive/ArchiveOpening.h"
#include "archive/CheckMarks.h"
#include "archive/ExtractionJob.h"
#include "archive/Failure.h"
#include "archive/HeldArchive.h"
#include "archive/SaveJob.h"
#include "archive/undo/UndoHistory.h"
#include "archive/undo/UndoJob.h"
#include "cli/ArchiveCheck.h"
#include "cli/DeferredSignals.h"
#include "cli/EntryChooser.h"
#include "cli/EntryListing.h"
#include "cli/ReplaceArgument.h"
#include "cli/TerminalProgress.h"
#include "cli/ToolFailure.h"
#include "cli/UndoListing.h"

namespace xcr {

namespace {

OpenedArchive openAndTell(const std::string& path) {
    OpenedArchive opened = openArchive(path);
    if (!opened.notice.empty()) {
        std::cerr << "xcrtool: " << opened.notice << std::endl;
    }
    return opened;
}

void makeFolder(const std::string& folder) {
    if (::mkdir(folder.c_str(), 0777) != 0 && errno != EEXIST) {
        throw Failure("Cannot create folder " + folder + ": " + std::strerror(errno));
    }
}

void throwIfFailed(const JobOutcome& outcome) {
    if (!outcome.ok()) {
        throw Failure(outcome.failure);
    }
}

// Runs a job that rewrites the archive, which Ctrl+C, SIGTERM and SIGHUP cannot cut off:
// a signal that arrived meanwhile ends the tool once the job has ended. `job` names it
// ("save"); `doing` shows beside its progress.
void runUncut(const std::string& archive, const std::string& job, const std::string& doing,
              const std::function<JobOutcome(JobProgress&)>& body) {
    JobOutcome outcome;
    int signal = 0;
    {
        DeferredSignals deferred;
        {
            TerminalProgress progress(doing);
            outcome = body(progress);
        }
        signal = deferred.takeArrived();
    }
    if (signal != 0) {
        const std::string stop = std::string("Stopped by SIG") + sigabbrev_np(signal);
        throw ToolFailure(outcome.ok()
                              ? stop + " once the " + job + " of " + archive + " had finished"
                              : stop + " once the " + job + " had failed: " + outcome.failure,
                          128 + signal);
    }
    throwIfFailed(outcome);
    if (!outcome.warning.empty()) {
        std::cerr << "xcrtool: " << outcome.warning << std::endl;
    }
}

}  // namespace

void listEntries(const ListArguments& arguments, std::ostream& out) {
    const OpenedArchive opened = openAndTell(arguments.archive);
    if (arguments.json) {
        writeEntryJson(out, opened.entries);
    } else {
        writeEntryTable(out, opened.entries);
    }
}

void extractEntries(const ExtractArguments& arguments) {
    if (arguments.folder.empty()) {
        throw ToolFailure("the folder given with -o is empty", kUsageStatus);
    }
    const OpenedArchive opened = openAndTell(arguments.archive);
    // Every mark is set for each chosen entry, so an entry chosen twice is written once.
    auto marks = std::make_shared<CheckMarks>(opened.entries.count());
    for (const int index : EntryChooser(opened.entries).choose(arguments.entries)) {
        marks->set(index, true);
    }
    makeFolder(arguments.folder);
    TerminalProgress progress("extracting " + arguments.archive);
    throwIfFailed(runExtraction(
        {holdArchive(arguments.archive), arguments.folder, opened.entries, std::move(marks)},
        progress));
}

void replaceEntries(const ReplaceArguments& arguments) {
    // The arguments are checked before the archive is opened, and opening may apply a
    // journal.
    std::vector<ReplaceArgument> parsed;
    for (const std::string& argument : arguments.replacements) {
        parsed.push_back(ReplaceArgument::parse(argument));
    }
    const OpenedArchive opened = openAndTell(arguments.archive);
    ReplacementTable replacements;
    for (const ReplaceArgument& argument : parsed) {
        const Replacement replacement = argument.resolve(opened.entries);
        replacements.record(replacement.index, replacement.path);
    }
    // Nothing of this run is ever staged, so there is no staging folder to empty.
    const SaveRequest request{arguments.archive, opened.entries, replacements.list(), {}, {}};
    runUncut(arguments.archive, "save", "saving " + arguments.archive,
             [&](JobProgress& progress) { return runSave(request, progress); });
}

void showHistory(const std::string& archive, std::ostream& out) {
    openAndTell(archive);
    HeldArchive held = HeldArchive::open(archive, HeldArchive::Access::Read);
    writeUndoHistory(out, archive, undoHistory(held, {}));
}

void undoSaves(const UndoArguments& arguments, std::ostream& out) {
    openAndTell(arguments.archive);
    for (int step = 1; step <= arguments.steps; ++step) {
        const UndoRequest request{arguments.archive, std::nullopt, {}};
        runUncut(arguments.archive, "undo", "undoing a save of " + arguments.archive,
                 [&](JobProgress& progress) { return runUndo(request, progress); });
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
