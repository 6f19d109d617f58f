#include "app/ModPatchCommand.h"

#include <unistd.h>

#include <QString>

#include "archive/os/Failure.h"
#include "archive/patch/PatchFile.h"
#include "archive/patch/PatchFit.h"
#include "archive/patch/PatchMaking.h"

namespace xcr {

namespace {

// Names are shown as the entry list shows them, one byte a character.
std::string listedName(std::string_view name) {
    return QString::fromLatin1(name.data(), static_cast<qsizetype>(name.size()))
        .toLocal8Bit()
        .toStdString();
}

std::string entryCount(int count) {
    return std::to_string(count) + (count == 1 ? " entry" : " entries");
}

}  // namespace

HeldArchive ModPatchCommand::heldListed(const std::string& doing) {
    HeldArchive archive = HeldArchive::attempt(session_.archivePath);
    if (!archive.isOpen()) {
        throw Failure(archive.failure());
    }
    archive.refuseIfChanged(session_.entries, doing);
    return archive;
}

const OutputFolder& ModPatchCommand::stagingFolder() {
    if (!staged_) {
        // Throws, naming the temporary folder, when the run has no staging folder.
        const std::string path = session_.staging.fileInside("patches");
        staged_ = OutputFolder(session_.staging.path()).subfolder("patches", path);
    }
    return *staged_;
}

void ModPatchCommand::apply(QWidget* parent) {
    if (session_.archivePath.empty()) {
        return;
    }
    heldListed("applying a patch");
    if (!open_.execute(parent)) {
        return;
    }
    PatchFile patch = PatchFile::open(open_.fileName());
    patch.verify();
    // Held again: nothing may change the archive between the check and the recording.
    HeldArchive archive = heldListed("applying a patch");
    const PatchFit fit = fitPatch(patch, archive, session_.entries);
    if (!fit.fits()) {
        throw Failure(fit.refusal(patch, session_.archivePath, listedName));
    }
    sweep();
    for (const Replacement& replacement : stagePatch(patch, fit, stagingFolder())) {
        session_.replacements.record(replacement.index, replacement.path, replacement.source);
    }
    const int replaced = fit.count(PatchFit::State::Replace);
    const int applied = fit.count(PatchFit::State::Applied);
    if (replaced == 0) {
        messages_.inform(parent, "The archive holds every entry of " + patch.path() +
                                     " already; nothing was recorded.");
        return;
    }
    messages_.inform(
        parent,
        "Recorded " + entryCount(replaced) + " from " + patch.path() +
            (applied == 0 ? "" : "; " + entryCount(applied) + " held the patch's bytes already") +
            ". Save XCR writes them.");
}

void ModPatchCommand::exportReplacements(QWidget* parent) {
    if (session_.archivePath.empty()) {
        return;
    }
    const std::vector<Replacement> recorded = session_.replacements.list();
    if (recorded.empty()) {
        messages_.inform(parent, "No replacements are recorded: a patch would hold nothing.");
        return;
    }
    heldListed("exporting a patch");
    if (!save_.execute(parent)) {
        return;
    }
    HeldArchive archive = heldListed("exporting a patch");
    const PatchMade made =
        xcr::exportReplacements(archive, session_.entries, recorded, save_.fileName());
    messages_.inform(parent, "Wrote " + save_.fileName() + ": " + entryCount(made.entries) + ", " +
                                 std::to_string(made.bytes) + " bytes.");
}

void ModPatchCommand::offer(QWidget* parent, const std::string& path) {
    const std::size_t slash = path.rfind('/');
    open_.openIn(slash == std::string::npos ? std::string(".") : path.substr(0, slash));
    messages_.inform(parent, "To apply " + path +
                                 ", open the archive it was made for, then choose Apply mod "
                                 "patch in the File menu.");
}

void ModPatchCommand::sweep(bool all) {
    if (!staged_) {
        return;
    }
    sweepStaged(*staged_, all ? std::vector<Replacement>{} : session_.replacements.list());
    if (all) {
        const std::string path = staged_->path();
        staged_.reset();
        ::rmdir(path.c_str());
    }
}

}  // namespace xcr
