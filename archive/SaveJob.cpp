#include "archive/SaveJob.h"

#include <exception>

#include "archive/EntryCopy.h"
#include "archive/Failure.h"
#include "archive/File.h"
#include "archive/LayoutCheck.h"
#include "archive/SaveRollback.h"
#include "archive/StagedBytes.h"
#include "archive/XcrLayout.h"

namespace xcr {

namespace {

using namespace layout;

constexpr const char* kStagedFileName = "entries";

// One run of the save job. The archive is only ever changed between the header write
// and the flush; a failure there is undone from the staging copies.
class SaveRun {
public:
    SaveRun(const std::string& archivePath, ArchiveSession& session, JobHost& host)
        : path_(archivePath),
          session_(session),
          host_(host),
          n_(session.entries.count()),
          before_(session.entries.placements()),
          rollback_(staged_, before_) {}

    JobOutcome run();

private:
    bool stage();
    void rewrite();
    std::vector<PlannedPlacement> plan(std::int64_t& total);
    void writeData(File& archive, const std::vector<PlannedPlacement>& after);
    JobOutcome undo(const std::string& failure);
    // Empties the staging folder of the save's copies (and anything else left there).
    void discardCopies();

    const std::string& path_;
    ArchiveSession& session_;
    JobHost& host_;
    const int n_;
    const std::vector<EntryTable::Placement> before_;
    StagedBytes staged_;
    SaveRollback rollback_;
    File archive_;
    bool touched_ = false;
};

JobOutcome SaveRun::run() {
    if (path_.empty()) {
        return JobOutcome::success();  // no archive was ever opened: a quiet end
    }
    try {
        if (!stage()) {
            return JobOutcome::success();
        }
        rewrite();
    } catch (const std::exception& failure) {
        if (touched_) {
            return undo(failure.what());
        }
        // The archive was not touched, so the copies made so far are of no further use.
        archive_.close();
        discardCopies();
        return JobOutcome::failed(failure.what());
    }
    discardCopies();
    return JobOutcome::success();
}

// Steps 1 to 4: copies every listed entry out. False when there is nothing to save.
bool SaveRun::stage() {
    File archive = File::open(path_, File::Access::Read);
    if (n_ == 0) {
        return false;
    }
    host_.setProgressMax(n_ - 1);
    staged_.create(session_.staging.fileInside(kStagedFileName));
    for (int i = 0; i < n_; ++i) {
        rollback_.keepEntry(archive, i);
        host_.setProgress(i);
    }
    rollback_.keepUncoveredBytes(archive);
    return true;
}

// Steps 5 to 11.
void SaveRun::rewrite() {
    archive_ = File::open(path_, File::Access::Write);
    const std::int64_t oldLength = archive_.length();
    rollback_.setOldLength(oldLength);
    std::int64_t total = oldLength;
    const std::vector<PlannedPlacement> after = plan(total);
    const std::string refusal = layoutRefusal(session_.entries, before_, after, total);
    if (!refusal.empty()) {
        throw Failure(refusal);
    }

    std::vector<EntryTable::Placement> placements;
    for (const auto& p : after) {
        placements.push_back(
            {static_cast<std::int32_t>(p.offset), static_cast<std::int32_t>(p.size)});
    }
    touched_ = true;
    session_.entries.setPlacements(placements);

    unsigned char field[kNumberSize];
    writeNumber(field, static_cast<std::int32_t>(total));
    archive_.seek(kTotalSizePos);
    archive_.writeAll(field, sizeof field);

    for (int i = 0; i < n_; ++i) {
        unsigned char fields[2 * kNumberSize];
        writeNumber(fields, placements[i].offset);
        writeNumber(fields + kNumberSize, placements[i].size);
        archive_.seek(offsetPos(i));
        archive_.writeAll(fields, sizeof fields);
        host_.setProgress(i);
    }

    writeData(archive_, after);
    // The file is not shortened: after a shrinking save it keeps its old tail.
    archive_.sync();
    archive_.close();
}

// The size pass: a replaced entry keeps its offset and takes its file's length; every
// later entry moves by the sum of the earlier changes.
std::vector<PlannedPlacement> SaveRun::plan(std::int64_t& total) {
    std::vector<PlannedPlacement> after(static_cast<std::size_t>(n_));
    std::int64_t shift = 0;
    for (int i = 0; i < n_; ++i) {
        PlannedPlacement& p = after[static_cast<std::size_t>(i)];
        p.offset = std::int64_t{before_[i].offset} + shift;
        p.size = before_[i].size;
        p.replaced = session_.replacements.isReplaced(i);
        if (p.replaced) {
            File replacement = File::open(session_.replacements.path(i), File::Access::Read);
            p.size = replacement.length();
            replacement.close();
            const std::int64_t change = p.size - before_[i].size;
            total += change;
            shift += change;
        }
        host_.setProgress(i);
    }
    return after;
}

// The data pass: every entry's bytes from its replacement file or its staging copy.
void SaveRun::writeData(File& archive, const std::vector<PlannedPlacement>& after) {
    for (int i = 0; i < n_; ++i) {
        const PlannedPlacement& p = after[static_cast<std::size_t>(i)];
        if (p.offset == archive.length()) {
            host_.beep();
        }
        archive.seek(p.offset);
        if (p.replaced) {
            File source = File::open(session_.replacements.path(i), File::Access::Read);
            // Exactly the size the directory now gives: a replacement file that changed
            // since the size pass must not spill over the next entry.
            copyEntry(source, 0, p.size, archive);
        } else {
            rollback_.copyEntryBack(i, archive);
        }
        // The closing flush then overlaps with the copying instead of following it.
        archive.startWriteBack(p.offset, p.size);
        host_.setProgress(i);
    }
}

// Puts the archive and the table back, through the handle that is still held so that
// no one else can step in. The staging copies are removed once the archive is restored;
// if it cannot be restored they are the only intact copy of the entries: they are set
// aside where no later save can empty them, with a listing, and the message says where.
JobOutcome SaveRun::undo(const std::string& failure) {
    session_.entries.setPlacements(before_);
    try {
        rollback_.restore(archive_);
        archive_.close();
    } catch (const std::exception& rollbackFailure) {
        archive_.close();
        staged_.close();
        const std::string keptIn = session_.staging.setAside(kStagedFileName);
        rollback_.writeListing(keptIn + "/entries.txt", session_.entries);
        return JobOutcome::failed(failure + "; the archive could not be restored (" +
                                  rollbackFailure.what() + "); copies of its entries are kept in " +
                                  keptIn);
    }
    discardCopies();
    return JobOutcome::failed(failure + "; the archive was left unchanged");
}

void SaveRun::discardCopies() {
    staged_.close();
    session_.staging.removeFiles();
}

}  // namespace

JobOutcome runSave(const std::string& archivePath, ArchiveSession& session, JobHost& host) {
    JobOutcome outcome = SaveRun(archivePath, session, host).run();
    host.releaseLock();
    return outcome;
}

}  // namespace xcr
