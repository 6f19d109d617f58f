#include "archive/jobs/SaveJob.h"

#include <chrono>
#include <exception>
#include <optional>

#include "archive/format/Directory.h"
#include "archive/format/LayoutCheck.h"
#include "archive/format/SavePlan.h"
#include "archive/format/XcrLayout.h"
#include "archive/jobs/ReplacementSource.h"
#include "archive/os/EntryCopy.h"
#include "archive/os/Failure.h"
#include "archive/os/File.h"
#include "archive/os/StagingFolder.h"
#include "archive/store/HeldArchive.h"
#include "archive/undo/MovedEntries.h"
#include "archive/undo/UndoRecord.h"
#include "archive/undo/UndoStore.h"

namespace xcr {
inline namespace jobs {

namespace {

using namespace layout;

// One run of the save. Its passes: the size pass (the replacements' lengths), the journal
// pass (the old bytes the save will overwrite), the directory pass and the data pass;
// progress runs from the first entry to the last in each. The archive changes only after
// the journal pass.
class SaveRun {
public:
    SaveRun(SaveRequest request, JobProgress& progress)
        : request_(std::move(request)),
          progress_(progress),
          n_(request_.entries.count()),
          held_(std::move(request_.archive)) {}

    JobOutcome run();

private:
    SavePlan plan();
    void keepOldBytes(const SavePlan& plan);
    void writeDirectory(const SavePlan& plan);
    void writeData(const SavePlan& plan);
    void writeReplacement(const Replacement& replacement, const PlannedPlacement& placement);
    JobOutcome undo(const std::string& failure);
    void beginUndoRecord(const SavePlan& plan);
    void completeUndoRecord(const SavePlan& plan, const DirectoryFingerprint& written);
    void retireEarlierRecords();
    std::string cannotUndoText(const std::string& why) const;

    SaveRequest request_;
    JobProgress& progress_;
    const int n_;
    HeldArchive held_;
    File* archive_ = nullptr;
    std::int64_t oldLength_ = 0;
    bool totalChanges_ = false;
    std::optional<journal::SaveJournal> journal_;
    std::string undoRecord_;
    // The replaced entries as the record describes them, their old bytes taken before the
    // save writes.
    std::vector<UndoRecord::Replaced> replaced_;
    std::string undoWarning_;
};

JobOutcome SaveRun::run() {
    if (!held_.isOpen()) {
        // Without a failure, no archive was ever opened: a quiet end.
        return held_.failure().empty() ? JobOutcome::success()
                                       : JobOutcome::failed(held_.failure());
    }
    std::optional<SavePlan> planned;
    try {
        held_.openForWriting();
        archive_ = &held_.file();
        if (n_ == 0) {
            return JobOutcome::success();  // nothing listed: opened and closed, nothing more
        }
        planned.emplace(plan());
        keepOldBytes(*planned);
    } catch (const std::exception& failure) {
        if (journal_) {
            journal_->discard();
        }
        return JobOutcome::failed(failure.what());
    }

    const SavePlan& plan = *planned;
    if (journal_) {
        beginUndoRecord(plan);
    }
    DirectoryFingerprint written;
    try {
        writeDirectory(plan);
        writeData(plan);
        archive_->sync();
        written = readFingerprint(*archive_, n_);
        if (journal_) {
            completeUndoRecord(plan, written);
            // The moment the save becomes final.
            journal_->remove();
        }
    } catch (const std::exception& failure) {
        if (!journal_) {
            return JobOutcome::failed(failure.what());  // nothing was written
        }
        return undo(failure.what());
    }
    if (journal_ && undoRecord_.empty()) {
        retireEarlierRecords();
    }
    JobOutcome outcome;
    outcome.warning = undoWarning_;
    try {
        if (journal_) {
            journal_->syncRemoval();
        }
    } catch (const std::exception& failure) {
        // The archive is whole and final: it is never put back once its journal is gone.
        outcome.warning += (outcome.warning.empty() ? "" : " ") + std::string("The archive ") +
                           held_.path() +
                           " was saved, but the removal of its journal could not be flushed to "
                           "the disk (" +
                           failure.what() +
                           "). Should the machine lose power soon, the next opening may put it "
                           "back as it was before this save.";
    }
    held_.close();
    StagingFolder(request_.stagingFolder).removeFiles();
    outcome.savedEntries = request_.entries.withPlacements(plan.placements(), written);
    return outcome;
}

// Checks that the table still describes the archive and that every entry's old bytes
// are there, then runs the size pass and the layout check.
SavePlan SaveRun::plan() {
    held_.refuseIfChanged(request_.entries, "saving");
    held_.refuseUnsafeSave();
    progress_.setMaximum(n_ - 1);
    oldLength_ = archive_->length();
    for (const auto& p : request_.entries.placements()) {
        // Every listed entry's bytes must be readable, as they were when each was copied
        // out before a save; a save that could not read one changes nothing.
        if (p.offset < 0 || p.size < 0 ||
            (p.size > 0 && std::int64_t{p.offset} + p.size > oldLength_)) {
            throw Failure(kStreamReadError);
        }
    }

    std::vector<std::int64_t> newSizes(static_cast<std::size_t>(n_), -1);
    auto next = request_.replacements.begin();
    for (int i = 0; i < n_; ++i) {
        if (next != request_.replacements.end() && next->index == i) {
            newSizes[static_cast<std::size_t>(i)] = openReplacement(*next).length();
            ++next;
        }
        progress_.setPosition(i);
    }
    SavePlan plan(request_.entries, newSizes, oldLength_);
    unsigned char total[kNumberSize] = {};
    totalChanges_ = archive_->readAt(kTotalSizePos, total, sizeof total) != sizeof total ||
                    readNumber(total) != plan.total();
    const std::string refusal = layoutRefusal(request_.entries, plan.after(), plan.total());
    if (!refusal.empty()) {
        throw Failure(refusal);
    }
    return plan;
}

void SaveRun::keepOldBytes(const SavePlan& plan) {
    if (!plan.writesEntries() && !totalChanges_) {
        // Nothing of the archive changes: no journal is needed.
        for (int i = 0; i < n_; ++i) {
            progress_.setPosition(i);
        }
        return;
    }
    try {
        journal_ = held_.createJournal();
        const ByteRange directory = plan.directory();
        journal_->keep(*archive_, directory.position, directory.size);
        for (int i = 0; i < n_; ++i) {
            for (const ByteRange& range : plan.overwrittenBy(i)) {
                journal_->keep(*archive_, range.position, range.size);
            }
            progress_.setPosition(i);
        }
        journal::Header header = held_.journalHeader();
        header.oldLength = oldLength_;
        header.newLength = plan.lengthAfter();
        header.listed = n_;
        journal_->commit(header, plan.plannedFields());
    } catch (const std::exception& failure) {
        throw Failure("Save refused: the journal " + held_.journalPath() +
                      " could not be written (" + failure.what() + ")" + kLeftUnchanged);
    }
}

void SaveRun::writeDirectory(const SavePlan& plan) {
    if (totalChanges_) {
        unsigned char field[kNumberSize];
        writeNumber(field, static_cast<std::int32_t>(plan.total()));
        archive_->writeAt(kTotalSizePos, field, sizeof field);
    }
    const auto placements = plan.placements();
    for (int i = 0; i < n_; ++i) {
        if (plan.writesRecord(i)) {
            unsigned char fields[2 * kNumberSize];
            writeNumber(fields, placements[static_cast<std::size_t>(i)].offset);
            writeNumber(fields + kNumberSize, placements[static_cast<std::size_t>(i)].size);
            archive_->writeAt(offsetPos(i), fields, sizeof fields);
        }
        progress_.setPosition(i);
    }
}

void SaveRun::writeData(const SavePlan& plan) {
    auto next = request_.replacements.begin();
    for (int i = 0; i < n_; ++i) {
        const PlannedPlacement& p = plan.after()[static_cast<std::size_t>(i)];
        // The alert comes where a full rewrite would sound it, although unchanged data is
        // not written.
        if (plan.beeps(i)) {
            progress_.beep();
        }
        while (next != request_.replacements.end() && next->index < i) {
            ++next;
        }
        if (plan.rewrites(i)) {
            if (p.replaced) {
                writeReplacement(*next, p);
            } else {
                journal_->copyOld(*archive_, request_.entries.placement(i).offset, p.size,
                                  p.offset);
            }
            // The closing flush then overlaps with the copying instead of following it.
            archive_->startWriteBack(p.offset, p.size);
        }
        progress_.setPosition(i);
    }
}

// Writes exactly the size the directory now gives. A file that changed since the size
// pass would leave a cut or overlong entry: it fails the save instead.
void SaveRun::writeReplacement(const Replacement& replacement, const PlannedPlacement& placement) {
    File source = openReplacement(replacement);
    const auto changed = [&] {
        return Failure("The replacement file " + replacement.path +
                       " changed during the save (it no longer has " +
                       std::to_string(placement.size) + " bytes)");
    };
    if (source.length() != placement.size) {
        throw changed();
    }
    try {
        copyRange(source, 0, *archive_, placement.offset, placement.size);
    } catch (const Failure&) {
        if (source.length() != placement.size) {
            throw changed();
        }
        throw;
    }
    if (source.length() != placement.size) {
        throw changed();
    }
}

// Puts the archive back from the journal, through the handle that is still held so that
// no one else can step in, and drops the undo record of a save that did not happen.
JobOutcome SaveRun::undo(const std::string& failure) {
    if (!undoRecord_.empty()) {
        UndoStore(request_.undo).removeQuietly(undoRecord_);
    }
    return JobOutcome::failed(journal_->abandon(*archive_, failure));
}

// Starts the record that undoes this save in the user's state folder, before the archive
// changes: the old bytes the save overwrites, but for those of entries it merely moves,
// which an undo takes back from their new place. A save never fails for want of it, but
// says so.
void SaveRun::beginUndoRecord(const SavePlan& plan) {
    try {
        std::vector<ByteRange> overwritten = {plan.directory()};
        std::vector<bool> replaced;
        for (int i = 0; i < n_; ++i) {
            const std::vector<ByteRange> ranges = plan.overwrittenBy(i);
            overwritten.insert(overwritten.end(), ranges.begin(), ranges.end());
            replaced.push_back(plan.after()[static_cast<std::size_t>(i)].replaced);
        }
        const std::vector<MovedEntry> moved =
            movedEntries(request_.entries.placements(), plan.placements(), replaced);
        for (const Replacement& replacement : request_.replacements) {
            const EntryTable::Placement old = request_.entries.placement(replacement.index);
            UndoRecord::Replaced entry;
            entry.index = replacement.index;
            entry.name = std::string(request_.entries.displayName(replacement.index));
            entry.before = {old.offset, readFingerprint(*archive_, old.offset, old.size)};
            replaced_.push_back(std::move(entry));
        }
        journal::Header header = held_.journalHeader();
        header.oldLength = oldLength_;
        header.newLength = plan.lengthAfter();
        header.listed = n_;
        undoRecord_ = UndoStore(request_.undo)
                          .begin(*archive_, withoutMoved(overwritten, moved, plan.directory().size),
                                 header, plan.plannedFields());
    } catch (const std::exception& failure) {
        undoWarning_ = cannotUndoText(failure.what());
    }
}

// Completes the record before the save becomes final: what the save replaced, and the
// archive as it left it, which alone the record applies to.
void SaveRun::completeUndoRecord(const SavePlan& plan, const DirectoryFingerprint& written) {
    if (undoRecord_.empty()) {
        return;
    }
    try {
        UndoRecord facts;
        facts.journal = held_.journalHeader();
        facts.journal.oldLength = oldLength_;
        facts.time = std::chrono::duration_cast<std::chrono::seconds>(
                         std::chrono::system_clock::now().time_since_epoch())
                         .count();
        facts.before = request_.entries.fingerprint();
        facts.after = written;
        facts.lengthAfter = archive_->length();
        facts.born = archive_->birthStamp();
        facts.replaced = replaced_;
        for (UndoRecord::Replaced& entry : facts.replaced) {
            const PlannedPlacement& now = plan.after()[static_cast<std::size_t>(entry.index)];
            entry.after = {now.offset, readFingerprint(*archive_, now.offset, now.size)};
        }
        UndoStore(request_.undo).complete(undoRecord_, facts);
    } catch (const std::exception& failure) {
        UndoStore(request_.undo).removeQuietly(undoRecord_);
        undoRecord_.clear();
        undoWarning_ = cannotUndoText(failure.what());
    }
}

// A save that kept no record stands between the archive and every earlier record: undoing
// one of those would put back bytes around this save's, so they go. Should that fail too,
// an undo still finds that the entries they replaced no longer hold what they wrote.
void SaveRun::retireEarlierRecords() {
    try {
        if (UndoStore(request_.undo).retire(held_.identity()) > 0) {
            undoWarning_ += " Its earlier saves can no longer be undone either.";
        }
    } catch (const std::exception&) {
    }
}

std::string SaveRun::cannotUndoText(const std::string& why) const {
    return "The archive " + held_.path() +
           " was saved, but this save cannot be undone: its undo record could not be written (" +
           why + ").";
}

}  // namespace

JobOutcome runSave(SaveRequest request, JobProgress& progress) {
    return SaveRun(std::move(request), progress).run();
}

}  // namespace jobs
}  // namespace xcr
