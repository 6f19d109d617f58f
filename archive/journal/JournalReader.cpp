#include "archive/journal/JournalReader.h"

#include <unistd.h>

#include <algorithm>

#include "archive/Checksum.h"
#include "archive/EntryCopy.h"
#include "archive/Failure.h"
#include "archive/XcrLayout.h"

namespace xcr::journal {

namespace {

// Where the save writes in the header and directory, and what: the byte it leaves at
// `position`, or -1 where it writes nothing.
int plannedByte(std::int64_t position, const Header& header,
                const std::vector<unsigned char>& fields) {
    namespace at = layout;
    if (position >= at::kTotalSizePos && position < at::kTotalSizePos + at::kNumberSize) {
        return fields[static_cast<std::size_t>(position - at::kTotalSizePos)];
    }
    if (position < at::kHeaderSize || position >= at::recordPos(header.listed)) {
        return -1;
    }
    const std::int64_t record = (position - at::kHeaderSize) / at::kRecordSize;
    const std::int64_t inRecord = (position - at::kHeaderSize) % at::kRecordSize;
    if (inRecord < at::kOffsetField || inRecord >= at::kSizeField + at::kNumberSize) {
        return -1;
    }
    return fields[static_cast<std::size_t>(at::kNumberSize + 2 * at::kNumberSize * record +
                                           inRecord - at::kOffsetField)];
}

}  // namespace

JournalReader::JournalReader(const ArchiveFolder& folder, const std::string& name,
                             const JournaledArchive& archive) {
    inspect(folder, name, archive);
}

void JournalReader::inspect(const ArchiveFolder& folder, const std::string& name,
                            const JournaledArchive& archive) {
    // A journal is a plain file of this user's with one name, as a save creates it: a
    // link, or a file another user put there, is never read as one.
    const auto entry = folder.entry(name);
    if (!entry || S_ISLNK(entry->st_mode)) {
        return settle(Verdict::NotOwn, "it is a link");
    }
    if (!S_ISREG(entry->st_mode)) {
        return settle(Verdict::NotOwn, "it is not a regular file");
    }
    if (entry->st_nlink != 1) {
        return settle(Verdict::NotOwn, "it has more than one name");
    }
    if (entry->st_uid != ::geteuid()) {
        return settle(Verdict::NotOwn, "it belongs to another user");
    }
    try {
        file_ = folder.openForReading(name);
    } catch (const Failure& failure) {
        return settle(Verdict::NotOwn, failure.what());
    }
    if (!file_.sameFileAs(*entry)) {
        return settle(Verdict::NotOwn, "it was replaced while it was read");
    }
    judge(archive);
}

void JournalReader::settle(Verdict verdict, std::string why) {
    verdict_ = verdict;
    why_ = std::move(why);
}

void JournalReader::judge(const JournaledArchive& archive) {
    unsigned char bytes[kHeaderSize] = {};
    const std::size_t got = file_.readAt(0, bytes, sizeof bytes);
    // A save stopped before its first header reached the disk leaves a file that holds
    // nothing at all; removing it loses nothing.
    if (file_.length() <= kHeaderSize &&
        std::all_of(bytes, bytes + got, [](unsigned char b) { return b == 0; })) {
        return settle(Verdict::Unfinished);
    }
    const HeaderState state = decodeHeader(bytes, got, header_);
    if (state == HeaderState::Torn) {
        return settle(Verdict::Torn);
    }
    if (state == HeaderState::Foreign) {
        return settle(Verdict::NotOwn, "it is not a journal of this program");
    }
    if (header_.archive != archive.identity) {
        return settle(Verdict::NotOwn, "it was written for another file");
    }
    if (header_.archiveName != archive.name) {
        return settle(Verdict::NotOwn, "it was written for a file named " + header_.archiveName);
    }
    if (state == HeaderState::Damaged) {
        return settle(Verdict::Damaged, "its header holds lengths no archive can have");
    }
    if (!header_.complete) {
        return settle(Verdict::Unfinished);
    }
    if (file_.length() != kHeaderSize + header_.bodyLength) {
        return settle(Verdict::Damaged, "its length is not the one its header gives");
    }
    if (!readRanges()) {
        return;
    }
    if (!belongsTo(archive.file)) {
        return settle(Verdict::NotOwn,
                      "the archive's header and directory are neither those it kept nor those "
                      "the save wrote");
    }
    settle(Verdict::Own);
}

// Reads the kept ranges and the planned fields, and checks the body against its checksum.
// Settles the verdict as Damaged, saying why, when it does not check out.
bool JournalReader::readRanges() {
    const std::int64_t end = kHeaderSize + header_.bodyLength;
    std::vector<unsigned char> buffer(kCopyBufferSize);
    Checksum checksum;
    std::int64_t at = kHeaderSize;
    for (std::int64_t r = 0; r < header_.rangeCount; ++r) {
        unsigned char rangeHeader[kRangeHeaderSize];
        if (end - at < kRangeHeaderSize ||
            file_.readAt(at, rangeHeader, sizeof rangeHeader) != sizeof rangeHeader) {
            settle(Verdict::Damaged, "it ends inside its kept ranges");
            return false;
        }
        const std::uint64_t position = numberAt(rangeHeader);
        const std::uint64_t size = numberAt(rangeHeader + 8);
        // Checked before any sum: both must lie within the archive's old length.
        if (position > static_cast<std::uint64_t>(header_.oldLength) ||
            size > static_cast<std::uint64_t>(header_.oldLength) - position) {
            settle(Verdict::Damaged, "a kept range lies outside the archive or the journal");
            return false;
        }
        const auto rangeAt = static_cast<std::int64_t>(position);
        const auto rangeSize = static_cast<std::int64_t>(size);
        at = keptBytesAt(at + kRangeHeaderSize, rangeAt);
        if (at > end || rangeSize > end - at) {
            settle(Verdict::Damaged, "a kept range lies outside the archive or the journal");
            return false;
        }
        ranges_.push_back({rangeAt, rangeSize, at});
        for (std::int64_t done = 0; done < rangeSize;) {
            const auto chunk =
                static_cast<std::size_t>(std::min<std::int64_t>(rangeSize - done, buffer.size()));
            const std::size_t read = file_.readAt(at + done, buffer.data(), chunk);
            checksum.add(buffer.data(), read);
            if (read < chunk) {
                settle(Verdict::Damaged, "it is shorter than its header says");
                return false;
            }
            done += static_cast<std::int64_t>(read);
        }
        checksum.add(rangeHeader, sizeof rangeHeader);
        at += rangeSize;
    }
    const std::int64_t fieldsSize = plannedFieldsSize(header_.listed);
    if (end - at != fieldsSize) {
        settle(Verdict::Damaged, "its length is not the one its header gives");
        return false;
    }
    plannedFields_.resize(static_cast<std::size_t>(fieldsSize));
    if (file_.readAt(at, plannedFields_.data(), plannedFields_.size()) != plannedFields_.size()) {
        settle(Verdict::Damaged, "it is shorter than its header says");
        return false;
    }
    checksum.add(plannedFields_.data(), plannedFields_.size());
    if (checksum.value() != header_.bodyChecksum) {
        settle(Verdict::Damaged, "its checksum does not match");
        return false;
    }
    const std::int64_t directoryBytes = layout::directoryPresent(header_.listed, header_.oldLength);
    if (ranges_.empty() || ranges_.front().position != 0 || ranges_.front().size < directoryBytes) {
        settle(Verdict::Damaged, "it does not hold the archive's directory");
        return false;
    }
    return true;
}

// The archive is the journal's when its length fits, and every byte of its header and
// directory is the old one or, where the save writes, the new one.
bool JournalReader::belongsTo(File& archive) {
    const std::int64_t length = archive.length();
    if (length < header_.oldLength || length > header_.newLength) {
        return false;
    }
    // The first kept range starts with the old header and directory.
    const std::int64_t directoryBytes = layout::directoryPresent(header_.listed, header_.oldLength);
    const std::int64_t directoryAt = ranges_.front().at;
    const std::int64_t compared =
        std::min(length, std::max(directoryBytes, layout::fieldsEnd(header_.listed)));
    std::vector<unsigned char> kept(kCopyBufferSize);
    std::vector<unsigned char> now(kCopyBufferSize);
    for (std::int64_t done = 0; done < compared;) {
        const auto chunk =
            static_cast<std::size_t>(std::min<std::int64_t>(compared - done, now.size()));
        const auto keptChunk = static_cast<std::size_t>(
            std::clamp<std::int64_t>(directoryBytes - done, 0, static_cast<std::int64_t>(chunk)));
        if (file_.readAt(directoryAt + done, kept.data(), keptChunk) != keptChunk ||
            archive.readAt(done, now.data(), chunk) != chunk) {
            return false;
        }
        for (std::size_t i = 0; i < chunk; ++i) {
            const std::int64_t position = done + static_cast<std::int64_t>(i);
            const int planned = plannedByte(position, header_, plannedFields_);
            const bool old = i < keptChunk && now[i] == kept[i];
            const bool fresh = planned >= 0 && now[i] == planned;
            // Past the old directory's end the save writes only its fields.
            if (!old && !fresh && (i < keptChunk || planned >= 0)) {
                return false;
            }
        }
        done += static_cast<std::int64_t>(chunk);
    }
    return true;
}

void JournalReader::restore(File& archive) {
    journal::restore(file_, ranges_, header_.oldLength, archive);
}

void restore(File& journal, const std::vector<KeptRange>& ranges, std::int64_t oldLength,
             File& archive) {
    archive.truncate(oldLength);
    for (const KeptRange& range : ranges) {
        copyRange(journal, range.at, archive, range.position, range.size);
    }
    archive.sync();
}

}  // namespace xcr::journal
