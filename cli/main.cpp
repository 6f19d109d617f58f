// xcrtool: lists, extracts, replaces and checks the entries of XCR archives, undoes saves,
// and makes and applies mod patches, from the command line, on the same archive core as
// the window.
#include <CLI/CLI.hpp>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <exception>
#include <iostream>

#include "cli/ArgumentChecks.h"
#include "cli/PatchCommands.h"
#include "cli/ToolCommands.h"
#include "cli/ToolFailure.h"
#include "cli/UsageText.h"

namespace {

constexpr const char* kName = "xcrtool";

// One line on standard error for every failure; none when standard output's reader went
// away, which ends the tool as quietly as SIGPIPE would.
int fail(const std::string& text, int status) {
    if (status != xcr::kClosedOutputStatus) {
        std::cerr << kName << ": " << text << std::endl;
    }
    return status;
}

// A check of one argument, which speaks for itself (see usageText).
CLI::Validator argumentCheck(std::string (*fault)(const std::string&)) {
    return CLI::Validator(fault, "");
}

// Every subcommand's first argument.
void addArchive(CLI::App* command, std::string& archive) {
    command->add_option("ARCHIVE", archive, "The archive")
        ->required()
        ->type_name("")
        ->check(argumentCheck(xcr::archiveArgumentFault));
}

// "list, extract, replace, history, undo, check, ... and patch-info": every subcommand, in the
// order of
// --help.
std::string subcommandNames(CLI::App& app) {
    const std::vector<CLI::App*> all = app.get_subcommands([](CLI::App*) { return true; });
    std::string names;
    for (std::size_t i = 0; i < all.size(); ++i) {
        names += (i == 0 ? "" : i + 1 == all.size() ? " and " : ", ") + all[i]->get_name();
    }
    return names;
}

}  // namespace

int main(int argc, char** argv) {
    // A reader that goes away shows as a failed write, never as a sudden end.
    std::signal(SIGPIPE, SIG_IGN);

    CLI::App app(
        "Lists, extracts, replaces and checks the entries of XCR archives, undoes saves, and "
        "makes and applies mod patches.",
        kName);
    app.set_version_flag("-V,--version", std::string(kName) + " " + XCR_VERSION);
    app.require_subcommand(1);
    app.footer("An argument after -- is never an option, even one that starts with a dash.");
    // The parser's own words for a positional's type and for a required one say nothing here.
    app.get_formatter()->label("REQUIRED", "");

    xcr::ListArguments list;
    auto* listCommand = app.add_subcommand("list",
                                           "List every entry: index, data offset and "
                                           "size, display name and stored name.");
    addArchive(listCommand, list.archive);
    listCommand->add_flag("--json", list.json, "Write the list as JSON");

    xcr::ExtractArguments extract;
    auto* extractCommand = app.add_subcommand(
        "extract", "Write entries to files named as the window names them (all by default).");
    addArchive(extractCommand, extract.archive);
    extractCommand
        ->add_option("ENTRY", extract.entries,
                     "An index, a display name or a shell pattern of display names")
        ->type_name("");
    auto* outputOption =
        extractCommand
            ->add_option("-o,-C,--output", extract.folder,
                         "The folder to write into, made if missing (default: here)")
            ->type_name("DIR")
            ->check(argumentCheck(xcr::folderArgumentFault));
    extractCommand->add_flag("-v,--verbose", extract.verbose,
                             "Name each file written, once it is complete");
    auto* pathsFlag = extractCommand->add_flag(
        "--paths", extract.folderParts, "Write each entry under the folders of its stored name");
    extractCommand
        ->add_flag("--stdout", extract.toStandardOutput,
                   "Write the bytes of the one ENTRY given to standard output")
        ->excludes(outputOption)
        ->excludes(pathsFlag);

    xcr::ReplaceArguments replace;
    auto* replaceCommand = app.add_subcommand(
        "replace", "Replace entries by files and save the archive in place, as the window does.");
    addArchive(replaceCommand, replace.archive);
    replaceCommand
        ->add_option("REPLACEMENT", replace.replacements,
                     "ENTRY=FILE: the entry (an index or a display name) and its new content")
        ->type_name("ENTRY=FILE");
    replaceCommand
        ->add_option("--from", replace.folder,
                     "A folder whose files replace the entries they are named after")
        ->type_name("DIR");
    replaceCommand->add_flag("--dry-run", replace.dryRun,
                             "Say what would be replaced and save nothing");

    std::string historyOf;
    auto* historyCommand = app.add_subcommand(
        "history", "List the saves of an archive that can be undone, newest first.");
    addArchive(historyCommand, historyOf);

    xcr::UndoArguments undo;
    auto* undoCommand = app.add_subcommand(
        "undo", "Put the archive back as it was before its last save (or its last N saves).");
    addArchive(undoCommand, undo.archive);
    undoCommand->add_option("--steps", undo.steps, "How many saves to undo, newest first")
        ->type_name("N")
        ->check(argumentCheck(xcr::stepsArgumentFault));

    std::string checked;
    auto* checkCommand = app.add_subcommand(
        "check", "Report what is wrong with an archive, changing nothing; fails if anything is.");
    addArchive(checkCommand, checked);

    xcr::DiffArguments diff;
    auto* diffCommand = app.add_subcommand(
        "diff", "Write a mod patch of the entries whose bytes differ between two archives.");
    diffCommand->add_option("ORIGINAL", diff.original, "The archive as it was")
        ->required()
        ->type_name("")
        ->check(argumentCheck(xcr::archiveArgumentFault));
    diffCommand->add_option("MODIFIED", diff.modified, "The archive with the mod")
        ->required()
        ->type_name("")
        ->check(argumentCheck(xcr::archiveArgumentFault));
    diffCommand->add_option("-o,--output", diff.patch, "The patch to write")
        ->required()
        ->type_name("PATCH")
        ->check(argumentCheck(xcr::patchArgumentFault));

    xcr::ApplyArguments apply;
    auto* applyCommand = app.add_subcommand(
        "apply", "Check a mod patch against an archive and save it in, as replace saves.");
    addArchive(applyCommand, apply.archive);
    applyCommand->add_option("PATCH", apply.patch, "The mod patch")
        ->required()
        ->type_name("")
        ->check(argumentCheck(xcr::patchArgumentFault));
    applyCommand->add_flag("--dry-run", apply.dryRun,
                           "Say what would be replaced and save nothing");

    std::string patchShown;
    auto* patchInfoCommand = app.add_subcommand(
        "patch-info", "List the entries of a mod patch, once every byte of it is checked.");
    patchInfoCommand->add_option("PATCH", patchShown, "The mod patch")
        ->required()
        ->type_name("")
        ->check(argumentCheck(xcr::patchArgumentFault));

    try {
        app.parse(argc, argv);
    } catch (const CLI::ParseError& error) {
        if (error.get_exit_code() == 0) {
            return app.exit(error);  // --help or --version
        }
        // Without a subcommand, a first word left over that is no option was meant as one.
        std::string text = xcr::usageText(error);
        if (app.get_subcommands().empty()) {
            const std::vector<std::string> left = app.remaining();
            if (!left.empty() && left.front().rfind('-', 0) != 0) {
                text = "Unknown subcommand \"" + left.front() + "\"";
            }
            text += "; the subcommands are " + subcommandNames(app);
        }
        return fail(text + " (see " + kName + " --help)", xcr::kUsageStatus);
    }

    try {
        if (listCommand->parsed()) {
            xcr::listEntries(list, std::cout);
        } else if (extractCommand->parsed()) {
            xcr::extractEntries(extract, std::cout);
        } else if (replaceCommand->parsed()) {
            xcr::replaceEntries(replace, std::cout);
        } else if (historyCommand->parsed()) {
            xcr::showHistory(historyOf, std::cout);
        } else if (undoCommand->parsed()) {
            xcr::undoSaves(undo, std::cout);
        } else if (diffCommand->parsed()) {
            xcr::diffArchivesCommand(diff, std::cout);
        } else if (applyCommand->parsed()) {
            xcr::applyPatchCommand(apply, std::cout);
        } else if (patchInfoCommand->parsed()) {
            xcr::showPatch(patchShown, std::cout);
        } else if (checkCommand->parsed()) {
            xcr::checkArchive(checked, std::cout);
        }
        if (!std::cout.flush()) {
            return errno == EPIPE ? xcr::kClosedOutputStatus
                                  : fail(std::string("Cannot write to standard output: ") +
                                             std::strerror(errno),
                                         1);
        }
    } catch (const xcr::ToolFailure& failure) {
        return fail(failure.what(), failure.status());
    } catch (const std::exception& failure) {
        return fail(failure.what(), 1);
    }
    return 0;
}
