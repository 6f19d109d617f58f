#include "cli/PatchCommands.h"

#include <iomanip>
#include <sstream>

#include "archive/jobs/SaveJob.h"
#include "archive/os/Failure.h"
#include "archive/os/OutputFolder.h"
#include "archive/os/StagingFolder.h"
#include "archive/patch/PatchFile.h"
#include "archive/patch/PatchFit.h"
#include "archive/patch/PatchMaking.h"
#include "cli/CommandSupport.h"
#include "cli/NameText.h"
#include "cli/ToolFailure.h"

namespace xcr {

namespace {

std::string countedEntries(int count) {
    return std::to_string(count) + (count == 1 ? " entry" : " entries");
}

std::string checksumHex(std::uint64_t value) {
    std::ostringstream text;
    text << std::hex << std::setw(16) << std::setfill('0') << value;
    return text.str();
}

const auto lineName = [](std::string_view name) { return printableName(name); };

// One line an entry of the patch: what apply would do with it.
void writeApplyPlan(std::ostream& out, const PatchFile& patch, const PatchFit& fit,
                    const EntryTable& entries) {
    for (const PatchFit::Item& item : fit.items) {
        const PatchEntry& entry = patch.entries().at(item.patchEntry);
        out << "entry " << item.index << " \"" << printableName(entries.displayName(item.index))
            << "\": "
            << (item.state == PatchFit::State::Replace
                    ? "would be replaced (" + std::to_string(entry.originalSize) + " -> " +
                          std::to_string(entry.size) + " bytes)"
                    : std::string("holds the patch's bytes already"))
            << '\n';
    }
}

}  // namespace

void diffArchivesCommand(const DiffArguments& arguments, std::ostream& out) {
    if (arguments.patch.empty()) {
        throw ToolFailure("the patch given with -o is empty", kUsageStatus);
    }
    OpenedArchive original = openAndTell(arguments.original);
    OpenedArchive modified = openAndTell(arguments.modified);
    const PatchMade made = diffArchives(original.archive, original.entries, modified.archive,
                                        modified.entries, arguments.patch);
    if (made.entries == 0) {
        out << "No entry differs; no patch written.\n";
        return;
    }
    out << "Wrote " << arguments.patch << ": " << countedEntries(made.entries) << ", " << made.bytes
        << " bytes.\n";
}

void applyPatchCommand(const ApplyArguments& arguments, std::ostream& out) {
    // The patch's header and table are checked before the archive is opened for writing
    // (opening may apply a journal); the bytes of each entry it replaces are checked as
    // they are staged, before the save, and a dry run checks them all.
    PatchFile patch = PatchFile::open(arguments.patch);
    if (arguments.dryRun) {
        patch.verify();
    }
    OpenedArchive opened =
        openAndTell(arguments.archive,
                    arguments.dryRun ? HeldArchive::Access::Read : HeldArchive::Access::ReadWrite);
    const PatchFit fit = fitPatch(patch, opened.archive, opened.entries);
    if (!fit.fits()) {
        throw Failure(fit.refusal(patch, arguments.archive, lineName));
    }
    const int replaced = fit.count(PatchFit::State::Replace);
    const int applied = fit.count(PatchFit::State::Applied);
    const std::string already =
        applied == 0 ? "" : "; " + countedEntries(applied) + " held the patch's bytes already";
    if (arguments.dryRun) {
        writeApplyPlan(out, patch, fit, opened.entries);
        out << "Would replace " << countedEntries(replaced) << " from " << arguments.patch
            << already << ".\n";
        return;
    }
    if (replaced == 0) {
        out << arguments.patch << " is applied already; nothing to save.\n";
        return;
    }
    // The patch's bytes go to files of a private folder that the save reads as it reads
    // any replacement, and empties when it ends.
    const StagingFolder staging = StagingFolder::createIn(systemTempFolder(), "xcrtool-patch");
    if (!staging.hasPath()) {
        throw Failure(noStagingFolderText(systemTempFolder()));
    }
    std::vector<Replacement> replacements;
    {
        const OutputFolder folder(staging.path());
        replacements = stagePatch(patch, fit, folder);
    }
    out.flush();
    SaveRequest request{
        std::move(opened.archive), opened.entries, std::move(replacements), staging.path(), {}};
    try {
        runUncut(arguments.archive, "save", "saving " + arguments.archive,
                 [&](JobProgress& progress) { return runSave(std::move(request), progress); });
    } catch (...) {
        staging.removeFiles();
        staging.removeIfEmpty();
        throw;
    }
    staging.removeIfEmpty();
    out << "Replaced " << countedEntries(replaced) << " from " << arguments.patch << already
        << ".\n";
}

void showPatch(const std::string& path, std::ostream& out) {
    PatchFile patch = PatchFile::open(path);
    patch.verify();
    std::ostringstream table;
    table << "index  original size  original checksum      size  stored name\n";
    for (const PatchEntry& entry : patch.entries()) {
        table << std::setw(5) << entry.index << "  " << std::setw(13) << entry.originalSize << "  "
              << checksumHex(entry.originalChecksum) << "  " << std::setw(8) << entry.size << "  "
              << printableName(entry.storedName) << '\n';
    }
    out << table.str() << countedEntries(static_cast<int>(patch.entries().size())) << ", "
        << patch.dataSize() << " bytes.\n";
}

}  // namespace xcr
