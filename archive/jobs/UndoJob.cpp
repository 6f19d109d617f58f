#include "archive/jobs/UndoJob.h"

#include <cerrno>
#include <cstring>

#include <algorithm>
#include <exception>

#include "archive/format/ByteRange.h"
#include "archive/format/Directory.h"
#include "archive/format/XcrLayout.h"
#include "archive/journal/JournalReader.h"
#include "archive/os/Failure.h"
#include "archive/store/HeldArchive.h"
#include "archive/undo/MovedEntries.h"
#include "archive/undo/UndoStore.h"

namespace xcr {
inline namespace jobs {

namespace {

constexpr const char* kDoing = "undoing a save";

// The union of ranges, in order, none touching another.
std::vector<ByteRange> unionOf(std::vector<ByteRange> ranges) {
    std::sort(ranges.begin(), ranges.end(),
              [](const ByteRange& a, const ByteRange& b) { return a.position < b.position; });
    std::vector<ByteRange> merged;
    for (const ByteRange& range : ranges) {
        if (range.size <= 0) {
            continue;
        }
        if (!merged.empty() && merged.back().position + merged.back().size >= range.position) {
            ByteRange& last = merged.back();
            last.size =
                std::max(last.position + last.size, range.position + range.size) - last.position;
        } else {
            merged.push_back(range);
        }
    }
    return merged;
}

class UndoRun {
public:
    UndoRun(UndoRequest request, JobProgress& progress)
        : request_(std::move(request)),
          progress_(progress),
          store_(request_.undo),
          held_(*request_.archive) {}

    JobOutcome run();

private:
    void choose();
    void findMoved(const UndoRecord& record);
    void keepCurrentBytes();
    std::vector<unsigned char> oldDirectory();
    std::vector<unsigned char> fieldsAfterUndo();

    UndoRequest request_;
    JobProgress& progress_;
    UndoStore store_;
    HeldArchive& held_;
    File* archive_ = nullptr;
    std::string recordName_;
    File record_;
    journal::Header saved_;
    std::vector<journal::KeptRange> ranges_;
    // The entries the save moved, whose old bytes its record does not keep.
    std::vector<MovedEntry> moved_;
    std::optional<journal::SaveJournal> journal_;
};

JobOutcome UndoRun::run() {
    if (!held_.isOpen()) {
        const std::string none = cannotOpenText(held_.path(), std::strerror(ENOENT));
        return JobOutcome::failed(held_.failure().empty() ? none : held_.failure());
    }
    try {
        held_.openForWriting();
        archive_ = &held_.file();
        held_.refuseIfJournal(kDoing);
        held_.refuseUnsafeSave();
        progress_.setMaximum(1);
        choose();
        keepCurrentBytes();
        progress_.setPosition(0);
    } catch (const std::exception& failure) {
        if (journal_) {
            journal_->discard();
        }
        return JobOutcome::failed(failure.what());
    }
    EntryTable entries;
    try {
        // Takes every moved entry back to its old place, from its bytes as they are now;
        // then cuts the archive back to the length it had before the save, the one place
        // a file is made shorter, and writes back every other byte that save overwrote.
        for (const MovedEntry& entry : moved_) {
            journal_->copyOld(*archive_, entry.to, entry.size, entry.from);
            // As in a save: the closing flush then overlaps with the copying.
            archive_->startWriteBack(entry.from, entry.size);
        }
        journal::restore(record_, ranges_, saved_.oldLength, *archive_);
        entries = readEntryTable(*archive_);
        journal_->remove();
    } catch (const std::exception& failure) {
        return JobOutcome::failed(journal_->abandon(*archive_, failure.what()));
    }
    JobOutcome outcome;
    try {
        journal_->syncRemoval();
    } catch (const std::exception& failure) {
        outcome.warning = "The save of " + held_.path() +
                          " was undone, but the removal of the undo's journal could not be "
                          "flushed to the disk (" +
                          failure.what() +
                          "). Should the machine lose power soon, the next opening may put "
                          "that save back.";
    }
    progress_.setPosition(1);
    outcome.savedEntries = std::move(entries);
    record_.close();
    try {
        store_.remove(recordName_);
    } catch (const std::exception& failure) {
        outcome.warning += (outcome.warning.empty() ? "" : " ") + std::string(failure.what()) +
                           ": the record of the save just undone stays, but no longer applies.";
    }
    return outcome;
}

// The newest record of the archive, which must be whole and fit the archive exactly.
void UndoRun::choose() {
    std::vector<StoredUndo> records = store_.recordsOf(held_.identity());
    // A record left by a crash after its undo, or by a save put back, has nothing to undo.
    while (!records.empty() && records.front().record && records.front().record->spent(held_)) {
        store_.removeQuietly(records.front().name);
        records.erase(records.begin());
    }
    if (records.empty()) {
        throw Failure("No save of " + held_.path() +
                      " can be undone: no undo record of it is kept in " + store_.folder() + ".");
    }
    const StoredUndo& newest = records.front();
    const std::string where = store_.folder() + "/" + newest.name;
    if (!newest.record) {
        throw Failure("The undo record " + where + " of the last save of " + held_.path() +
                      " cannot be read (" + newest.problem + "), so that save cannot be undone.");
    }
    if (!newest.record->directoryAsLeft(held_)) {
        throw Failure("The archive " + held_.path() +
                      " was changed since its last save (by another program, or by a save "
                      "that kept no undo record), so that save cannot be undone; the archive "
                      "was left unchanged.");
    }
    if (const UndoRecord::Replaced* changed = newest.record->changedEntry(held_)) {
        const EntryTable now = readEntryTable(*archive_);
        const auto index = static_cast<int>(changed->index);
        throw Failure("Cannot undo the last save of " + held_.path() + ": entry " +
                      std::to_string(index) + " " +
                      std::string(index < now.count() ? now.storedName(index) : changed->name) +
                      " was changed since the save; nothing was undone.");
    }
    if (request_.entries && request_.entries->fingerprint() != newest.record->after) {
        throw Failure("The archive " + held_.path() +
                      " is no longer as it was listed. Open it again before " + kDoing + ".");
    }
    recordName_ = newest.name;
    saved_ = newest.record->journal;
    record_ = store_.open(newest.name);
    std::vector<unsigned char> fields;
    const std::string why = journal::readBody(record_, saved_, ranges_, fields);
    const bool fits =
        saved_.archive == held_.identity() && saved_.oldLength <= newest.record->lengthAfter;
    if (!why.empty() || !fits) {
        throw Failure("The undo record " + where + " is damaged (" +
                      (why.empty() ? "it does not fit the archive" : why) +
                      "), so that save cannot be undone; the archive was left unchanged.");
    }
    findMoved(*newest.record);
}

// The entries the save moved and did not replace: their old places from the directory
// the record keeps, their new ones from the archive as the save left it.
void UndoRun::findMoved(const UndoRecord& record) {
    const std::vector<unsigned char> old = oldDirectory();
    std::vector<EntryTable::Placement> before;
    for (std::int64_t i = 0; i < saved_.listed; ++i) {
        const auto at = static_cast<std::size_t>(layout::offsetPos(i));
        if (at + 2 * layout::kNumberSize > old.size()) {
            break;
        }
        before.push_back({layout::readNumber(old.data() + at),
                          layout::readNumber(old.data() + at + layout::kNumberSize)});
    }
    const EntryTable now = readEntryTable(*archive_);
    std::vector<bool> replaced(before.size(), false);
    for (const UndoRecord::Replaced& entry : record.replaced) {
        if (entry.index >= 0 && static_cast<std::size_t>(entry.index) < replaced.size()) {
            replaced[static_cast<std::size_t>(entry.index)] = true;
        }
    }
    moved_ = movedEntries(before, now.placements(), replaced);
    for (const MovedEntry& entry : moved_) {
        if (entry.from + entry.size > saved_.oldLength ||
            entry.to + entry.size > archive_->length()) {
            throw Failure("The undo record of the last save of " + held_.path() +
                          " does not fit the archive, so that save cannot be undone; the "
                          "archive was left unchanged.");
        }
    }
}

// The header and directory as they were before the save, as far as the archive had them.
std::vector<unsigned char> UndoRun::oldDirectory() {
    std::vector<unsigned char> bytes(
        static_cast<std::size_t>(layout::directoryPresent(saved_.listed, saved_.oldLength)));
    if (record_.readAt(ranges_.front().at, bytes.data(), bytes.size()) != bytes.size()) {
        throw Failure(kStreamReadError);
    }
    return bytes;
}

// The undo's own journal: the bytes it overwrites, those it cuts off, and the header and
// directory, as they are now.
void UndoRun::keepCurrentBytes() {
    const std::int64_t now = archive_->length();
    std::vector<ByteRange> kept = {{0, layout::directoryPresent(saved_.listed, now)},
                                   {saved_.oldLength, now - saved_.oldLength}};
    for (const journal::KeptRange& range : ranges_) {
        kept.push_back({range.position, range.size});
    }
    for (const MovedEntry& entry : moved_) {
        kept.push_back({entry.from, entry.size});
    }
    try {
        journal_ = held_.createJournal();
        for (const ByteRange& range : unionOf(kept)) {
            journal_->keep(*archive_, range.position, range.size);
        }
        journal::Header header = held_.journalHeader();
        header.oldLength = now;
        header.newLength = saved_.oldLength;
        header.listed = saved_.listed;
        journal_->commit(header, fieldsAfterUndo());
    } catch (const std::exception& failure) {
        throw Failure("Undo refused: the journal " + held_.journalPath() +
                      " could not be written (" + failure.what() +
                      "); the archive was left unchanged.");
    }
}

// The total size field and every listed record's offset and size as the undo leaves them.
std::vector<unsigned char> UndoRun::fieldsAfterUndo() {
    const std::int64_t end = layout::fieldsEnd(saved_.listed);
    std::vector<unsigned char> image(static_cast<std::size_t>(end));
    const auto kept = static_cast<std::size_t>(std::min(end, saved_.oldLength));
    if (archive_->readAt(0, image.data(), image.size()) != image.size() ||
        record_.readAt(ranges_.front().at, image.data(), kept) != kept) {
        throw Failure(kStreamReadError);
    }
    std::vector<unsigned char> fields(image.begin() + layout::kTotalSizePos,
                                      image.begin() + layout::kTotalSizePos + layout::kNumberSize);
    for (std::int64_t i = 0; i < saved_.listed; ++i) {
        const auto at = image.begin() + layout::offsetPos(i);
        fields.insert(fields.end(), at, at + 2 * layout::kNumberSize);
    }
    return fields;
}

}  // namespace

JobOutcome runUndo(UndoRequest request, JobProgress& progress) {
    return UndoRun(std::move(request), progress).run();
}

}  // namespace jobs
}  // namespace xcr
