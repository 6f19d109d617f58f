#include "archive/journal/JournalReader.h"

#include <unistd.h>

#include <algorithm>

#include "archive/format/Checksum.h"
#include "archive/format/XcrLayout.h"
#include "archive/os/EntryCopy.h"
#include "archive/os/Failure.h"

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
    std::string why = readBody(file_, header_, ranges_, plannedFields_);
    if (!why.empty()) {
        settle(Verdict::Damaged, std::move(why));
        return false;
    }
    return true;
}

std::string readBody(File& file, const Header& header, std::vector<KeptRange>& ranges,
                     std::vector<unsigned char>& plannedFields) {
    const std::int64_t end = kHeaderSize + header.bodyLength;
    std::vector<unsigned char> buffer(kCopyBufferSize);
    Checksum checksum;
    std::int64_t at = kHeaderSize;
    for (std::int64_t r = 0; r < header.rangeCount; ++r) {
        unsigned char rangeHeader[kRangeHeaderSize];
        if (end - at < kRangeHeaderSize ||
            file.readAt(at, rangeHeader, sizeof rangeHeader) != sizeof rangeHeader) {
            return "it ends inside its kept ranges";
        }
        const std::uint64_t position = numberAt(rangeHeader);
        const std::uint64_t size = numberAt(rangeHeader + 8);
        // Checked before any sum: both must lie within the archive's old length.
        if (position > static_cast<std::uint64_t>(header.oldLength) ||
            size > static_cast<std::uint64_t>(header.oldLength) - position) {
            return "a kept range lies outside the archive or the journal";
        }
        const auto rangeAt = static_cast<std::int64_t>(position);
        const auto rangeSize = static_cast<std::int64_t>(size);
        at = keptBytesAt(at + kRangeHeaderSize, rangeAt);
        if (at > end || rangeSize > end - at) {
            return "a kept range lies outside the archive or the journal";
        }
        ranges.push_back({rangeAt, rangeSize, at});
        for (std::int64_t done = 0; done < rangeSize;) {
            const auto chunk =
                static_cast<std::size_t>(std::min<std::int64_t>(rangeSize - done, buffer.size()));
            const std::size_t read = file.readAt(at + done, buffer.data(), chunk);
            checksum.add(buffer.data(), read);
            if (read < chunk) {
                return "it is shorter than its header says";
            }
            done += static_cast<std::int64_t>(read);
        }
        checksum.add(rangeHeader, sizeof rangeHeader);
        at += rangeSize;
    }
    const std::int64_t fieldsSize = plannedFieldsSize(header.listed);
    if (end - at != fieldsSize) {
        return "its length is not the one its header gives";
    }
    plannedFields.resize(static_cast<std::size_t>(fieldsSize));
    if (file.readAt(at, plannedFields.data(), plannedFields.size()) != plannedFields.size()) {
        return "it is shorter than its header says";
    }
    checksum.add(plannedFields.data(), plannedFields.size());
    if (checksum.value() != header.bodyChecksum) {
        return "its checksum does not match";
    }
    const std::int64_t directoryBytes = layout::directoryPresent(header.listed, header.oldLength);
    if (ranges.empty() || ranges.front().position != 0 || ranges.front().size < directoryBytes) {
        return "it does not hold the archive's directory";
    }
    return {};
}

// The archive is the journal's when its length lies between the old and the new one (an
// undo makes it shorter), and every byte of its header and
// directory is the old one or, where the save writes, the new one.
bool JournalReader::belongsTo(File& archive) {
    const std::int64_t length = archive.length();
    if (length < std::min(header_.oldLength, header_.newLength) ||
        length > std::max(header_.oldLength, header_.newLength)) {
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
