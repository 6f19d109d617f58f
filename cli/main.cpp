// xcrtool: lists, extracts, replaces and checks the entries of XCR archives and undoes
// saves, from the command line, on the same archive core as the window.
#include <CLI/CLI.hpp>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <exception>
#include <iostream>
#include <limits>

#include "cli/ToolCommands.h"
#include "cli/ToolFailure.h"

namespace {

constexpr const char* kName = "xcrtool";

// One line on standard error for every failure.
int fail(const std::string& text, int status) {
    std::cerr << kName << ": " << text << std::endl;
    return status;
}

// "list, extract, replace, history, undo and check": every subcommand, in the order of
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
        "Lists, extracts, replaces and checks the entries of XCR archives, and undoes saves.",
        kName);
    app.set_version_flag("-V,--version", std::string(kName) + " " + XCR_VERSION);
    app.require_subcommand(1);
    app.footer("An argument after -- is never an option, even one that starts with a dash.");

    xcr::ListArguments list;
    auto* listCommand = app.add_subcommand("list",
                                           "List every entry: index, data offset and "
                                           "size, display name and stored name.");
    listCommand->add_option("ARCHIVE", list.archive, "The archive")->required();
    listCommand->add_flag("--json", list.json, "Write the list as JSON");

    xcr::ExtractArguments extract;
    auto* extractCommand = app.add_subcommand(
        "extract", "Write entries to files named as the window names them (all by default).");
    extractCommand->add_option("ARCHIVE", extract.archive, "The archive")->required();
    extractCommand->add_option("ENTRY", extract.entries,
                               "An index, a display name or a shell pattern of display names");
    auto* outputOption =
        extractCommand
            ->add_option("-o,-C,--output", extract.folder,
                         "The folder to write into, made if missing (default: here)")
            ->type_name("DIR")
            ->check(CLI::Validator(
                [](const std::string& folder) {
                    return folder == "-" ? std::string(
                                               "standard output is no folder; write one "
                                               "entry there with --stdout, or name a "
                                               "folder \"-\" as ./-")
                                         : std::string();
                },
                ""));
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
    replaceCommand->add_option("ARCHIVE", replace.archive, "The archive")->required();
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
    historyCommand->add_option("ARCHIVE", historyOf, "The archive")->required();

    xcr::UndoArguments undo;
    auto* undoCommand = app.add_subcommand(
        "undo", "Put the archive back as it was before its last save (or its last N saves).");
    undoCommand->add_option("ARCHIVE", undo.archive, "The archive")->required();
    undoCommand->add_option("--steps", undo.steps, "How many saves to undo, newest first")
        ->type_name("N")
        ->check(CLI::Range(1, std::numeric_limits<int>::max()));

    std::string checked;
    auto* checkCommand = app.add_subcommand(
        "check", "Report what is wrong with an archive, changing nothing; fails if anything is.");
    checkCommand->add_option("ARCHIVE", checked, "The archive")->required();

    try {
        app.parse(argc, argv);
    } catch (const CLI::ParseError& error) {
        if (error.get_exit_code() == 0) {
            return app.exit(error);  // --help or --version
        }
        // Without a subcommand, a first word left over that is no option was meant as one.
        std::string text = error.what();
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
        } else if (checkCommand->parsed()) {
            xcr::checkArchive(checked, std::cout);
        }
        if (!std::cout.flush()) {
            return fail(std::string("Cannot write to standard output: ") + std::strerror(errno), 1);
        }
    } catch (const xcr::ToolFailure& failure) {
        return fail(failure.what(), failure.status());
    } catch (const std::exception& failure) {
        return fail(failure.what(), 1);
    }
    return 0;
}
