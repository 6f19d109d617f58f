#include "archive/journal/SaveJournal.h"

#include <algorithm>
#include <iterator>

#include "archive/journal/JournalReader.h"
#include "archive/os/EntryCopy.h"
#include "archive/os/Failure.h"

namespace xcr::journal {

SaveJournal SaveJournal::create(const ArchiveFolder& folder, const std::string& name,
                                const journal::Header& header, Flush flush) {
    SaveJournal journal(folder, name, folder.createPrivate(name), flush);
    // The first header names the archive; it is on the disk before anything else, so a
    // journal cut off later is known as this archive's and simply removed.
    journal::Header first = header;
    first.complete = false;
    const auto bytes = journal::encodeHeader(first);
    try {
        journal.file_.writeAt(0, bytes.data(), bytes.size());
        journal.flushStep();
    } catch (...) {
        journal.discard();
        throw;
    }
    return journal;
}

void SaveJournal::keep(File& archive, std::int64_t position, std::int64_t size) {
    // Bytes that follow the open range in the archive extend it: one range, one header.
    if (!open_ || position != open_->position + open_->size) {
        closeRange();
        const std::int64_t headerAt = bodyEnd_;
        open_ = OpenRange{
            {position, 0, journal::keptBytesAt(headerAt + journal::kRangeHeaderSize, position)},
            headerAt};
    }
    if (!buffer_) {
        buffer_ = std::make_unique_for_overwrite<unsigned char[]>(kCopyBufferSize);
    }
    const std::int64_t at = open_->at + open_->size;
    // Through a buffer rather than the kernel's copy: the bytes go into the checksum.
    for (std::int64_t done = 0; done < size;) {
        const auto chunk = static_cast<std::size_t>(
            std::min<std::int64_t>(size - done, static_cast<std::int64_t>(kCopyBufferSize)));
        const std::size_t got = archive.readAt(position + done, buffer_.get(), chunk);
        if (got < chunk) {
            throw Failure(kStreamReadError);
        }
        checksum_.add(buffer_.get(), got);
        file_.writeAt(at + done, buffer_.get(), got);
        // The flush at commit() then overlaps with the copying instead of following it.
        file_.startWriteBack(at + done, static_cast<std::int64_t>(got));
        done += static_cast<std::int64_t>(got);
    }
    open_->size += size;
    bodyEnd_ = open_->at + open_->size;
}

// Writes the open range's header into the room kept for it. The checksum takes a range's
// bytes first and its header after them, as they become known.
void SaveJournal::closeRange() {
    if (!open_) {
        return;
    }
    unsigned char rangeHeader[journal::kRangeHeaderSize];
    journal::putNumber(rangeHeader, static_cast<std::uint64_t>(open_->position));
    journal::putNumber(rangeHeader + 8, static_cast<std::uint64_t>(open_->size));
    file_.writeAt(open_->headerAt, rangeHeader, sizeof rangeHeader);
    checksum_.add(rangeHeader, sizeof rangeHeader);
    byPosition_[open_->position] = ranges_.size();
    ranges_.push_back(*open_);
    open_.reset();
}

void SaveJournal::commit(journal::Header header, const std::vector<unsigned char>& plannedFields) {
    closeRange();
    file_.writeAt(bodyEnd_, plannedFields.data(), plannedFields.size());
    checksum_.add(plannedFields.data(), plannedFields.size());
    bodyEnd_ += static_cast<std::int64_t>(plannedFields.size());
    flushStep();
    oldLength_ = header.oldLength;
    header.complete = true;
    header.rangeCount = static_cast<std::int64_t>(ranges_.size());
    header.bodyLength = bodyEnd_ - journal::kHeaderSize;
    header.bodyChecksum = checksum_.value();
    const auto bytes = journal::encodeHeader(header);
    file_.writeAt(0, bytes.data(), bytes.size());
    flushStep();
    if (flush_ == Flush::EachStep) {
        folder_->sync();
    }
}

void SaveJournal::flushStep() {
    if (flush_ == Flush::EachStep) {
        file_.sync();
    }
}

void SaveJournal::copyOld(File& archive, std::int64_t from, std::int64_t size, std::int64_t to) {
    const std::int64_t end = from + size;
    std::int64_t at = from;
    // The kept range that starts at or before `at`, if it reaches it, else the next one.
    auto next = byPosition_.upper_bound(at);
    if (next != byPosition_.begin()) {
        const auto before = std::prev(next);
        const auto& range = ranges_[before->second];
        if (range.position + range.size > at) {
            next = before;
        }
    }
    while (at < end) {
        if (next == byPosition_.end() || next->first >= end) {
            copyRange(archive, at, archive, to + (at - from), end - at);
            return;
        }
        const auto& range = ranges_[next->second];
        if (range.position > at) {
            copyRange(archive, at, archive, to + (at - from), range.position - at);
            at = range.position;
        }
        const std::int64_t stop = std::min(end, range.position + range.size);
        copyRange(file_, range.at + (at - range.position), archive, to + (at - from), stop - at);
        at = stop;
        ++next;
    }
}

void SaveJournal::rollBack(File& archive) {
    journal::restore(file_, ranges_, oldLength_, archive);
}

std::string SaveJournal::abandon(File& archive, const std::string& failure) {
    try {
        rollBack(archive);
    } catch (const std::exception& rollbackFailure) {
        archive.close();
        return failure + "; the archive could not be restored (" + rollbackFailure.what() +
               "); its old bytes are kept in the journal " + path() +
               ", which puts it back the next time the archive is opened";
    }
    try {
        remove();
        syncRemoval();
    } catch (const std::exception&) {
        // The archive is whole; the journal left beside it only puts back the same bytes
        // again at the next opening.
    }
    archive.close();
    return failure + "; the archive was left unchanged";
}

void SaveJournal::remove() {
    // Kept open until the removal is on the disk: until then rollBack() still works.
    folder_->remove(name_);
}

void SaveJournal::syncRemoval() {
    folder_->sync();
    file_.close();
}

void SaveJournal::discard() {
    file_.close();
    try {
        folder_->remove(name_);
    } catch (const Failure&) {
        // Left behind, it is known as this archive's unfinished journal and removed at the
        // next opening.
    }
}

}  // namespace xcr::journal
