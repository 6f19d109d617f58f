#include "archive/JournalRecovery.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <exception>
#include <vector>

#include "archive/Checksum.h"
#include "archive/EntryCopy.h"
#include "archive/Failure.h"
#include "archive/JournalFormat.h"
#include "archive/XcrLayout.h"

namespace xcr {

namespace {

using journal::KeptRange;

bool exists(const std::string& path) {
    struct stat info {};
    return ::lstat(path.c_str(), &info) == 0;
}

Failure foreign(const std::string& journalPath, const std::string& archivePath) {
    return Failure("The journal " + journalPath + " does not belong to the archive " + archivePath +
                   ", so it was not applied and the archive was not opened. If the archive is "
                   "whole, move the journal away and open the archive again.");
}

Failure damaged(const std::string& journalPath, const std::string& archivePath,
                const std::string& why) {
    return Failure("The journal " + journalPath + " of an interrupted save of " + archivePath +
                   " is damaged (" + why +
                   "), so it was not applied and the archive was not opened. Keep both files: "
                   "the archive may be partly rewritten.");
}

// A journal is a plain file of this user's with one name, as a save creates it: a link,
// or a file another user put there, is never read as one.
bool ownJournalFile(const std::string& path, const File& opened) {
    struct stat named {};
    return ::lstat(path.c_str(), &named) == 0 && S_ISREG(named.st_mode) &&
           named.st_uid == ::geteuid() && named.st_nlink == 1 && opened.sameFileAs(named);
}

// What a complete journal holds beyond its header.
struct JournalBody {
    std::vector<KeptRange> ranges;
    std::vector<unsigned char> plannedFields;
};

// Reads the kept ranges and the planned fields, and checks the body against its checksum.
// Returns false, saying why, when it does not check out.
bool readBody(File& journal, const journal::Header& header, JournalBody& body, std::string& why) {
    const std::int64_t end = journal::kHeaderSize + header.bodyLength;
    std::vector<unsigned char> buffer(kCopyBufferSize);
    Checksum checksum;
    std::int64_t at = journal::kHeaderSize;
    for (std::int64_t r = 0; r < header.rangeCount; ++r) {
        unsigned char rangeHeader[journal::kRangeHeaderSize];
        if (end - at < journal::kRangeHeaderSize ||
            journal.readAt(at, rangeHeader, sizeof rangeHeader) != sizeof rangeHeader) {
            why = "it ends inside its kept ranges";
            return false;
        }
        const auto position = static_cast<std::int64_t>(journal::numberAt(rangeHeader));
        const auto size = static_cast<std::int64_t>(journal::numberAt(rangeHeader + 8));
        at = journal::keptBytesAt(at + journal::kRangeHeaderSize, position);
        if (position < 0 || size < 0 || at > end || size > end - at ||
            position > header.oldLength - size) {
            why = "a kept range lies outside the archive or the journal";
            return false;
        }
        body.ranges.push_back({position, size, at});
        for (std::int64_t done = 0; done < size;) {
            const auto chunk =
                static_cast<std::size_t>(std::min<std::int64_t>(size - done, buffer.size()));
            const std::size_t got = journal.readAt(at + done, buffer.data(), chunk);
            checksum.add(buffer.data(), got);
            if (got < chunk) {
                why = "it is shorter than its header says";
                return false;
            }
            done += static_cast<std::int64_t>(got);
        }
        checksum.add(rangeHeader, sizeof rangeHeader);
        at += size;
    }
    const std::int64_t fieldsSize = journal::plannedFieldsSize(header.listed);
    if (end - at != fieldsSize) {
        why = "its length is not the one its header gives";
        return false;
    }
    body.plannedFields.resize(static_cast<std::size_t>(fieldsSize));
    if (journal.readAt(at, body.plannedFields.data(), body.plannedFields.size()) !=
        body.plannedFields.size()) {
        why = "it is shorter than its header says";
        return false;
    }
    checksum.add(body.plannedFields.data(), body.plannedFields.size());
    if (checksum.value() != header.bodyChecksum) {
        why = "its checksum does not match";
        return false;
    }
    const std::int64_t directoryBytes = layout::directoryPresent(header.listed, header.oldLength);
    if (body.ranges.empty() || body.ranges.front().position != 0 ||
        body.ranges.front().size < directoryBytes) {
        why = "it does not hold the archive's directory";
        return false;
    }
    return true;
}

// Where the save writes in the header and directory, and what: the byte it leaves at
// `position`, or -1 where it writes nothing.
int plannedByte(std::int64_t position, const journal::Header& header,
                const std::vector<unsigned char>& fields) {
    using namespace layout;
    if (position >= kTotalSizePos && position < kTotalSizePos + kNumberSize) {
        return fields[static_cast<std::size_t>(position - kTotalSizePos)];
    }
    if (position < kHeaderSize || position >= recordPos(header.listed)) {
        return -1;
    }
    const std::int64_t record = (position - kHeaderSize) / kRecordSize;
    const std::int64_t inRecord = (position - kHeaderSize) % kRecordSize;
    if (inRecord < kOffsetField || inRecord >= kSizeField + kNumberSize) {
        return -1;
    }
    return fields[static_cast<std::size_t>(kNumberSize + 2 * kNumberSize * record + inRecord -
                                           kOffsetField)];
}

// The archive is the journal's when its name and length fit, and every byte of its
// header and directory is the old one or, where the save writes, the new one.
bool belongsTo(File& journal, const journal::Header& header, const JournalBody& body,
               File& archive) {
    const std::int64_t length = archive.length();
    if (journal::archiveNameFor(archive.path()) != header.archiveName ||
        length < header.oldLength || length > header.newLength) {
        return false;
    }
    // The first kept range starts with the old header and directory.
    const std::int64_t directoryBytes = layout::directoryPresent(header.listed, header.oldLength);
    const std::int64_t directoryAt = body.ranges.front().at;
    const std::int64_t compared =
        std::min(length, std::max(directoryBytes, layout::fieldsEnd(header.listed)));
    std::vector<unsigned char> kept(kCopyBufferSize);
    std::vector<unsigned char> now(kCopyBufferSize);
    for (std::int64_t done = 0; done < compared;) {
        const auto chunk =
            static_cast<std::size_t>(std::min<std::int64_t>(compared - done, now.size()));
        const auto keptChunk = static_cast<std::size_t>(
            std::clamp<std::int64_t>(directoryBytes - done, 0, static_cast<std::int64_t>(chunk)));
        if (journal.readAt(directoryAt + done, kept.data(), keptChunk) != keptChunk ||
            archive.readAt(done, now.data(), chunk) != chunk) {
            return false;
        }
        for (std::size_t i = 0; i < chunk; ++i) {
            const std::int64_t position = done + static_cast<std::int64_t>(i);
            const int planned = plannedByte(position, header, body.plannedFields);
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

}  // namespace

Recovery recoverFromJournal(File& archive) {
    const std::string& archivePath = archive.path();
    const std::string journalPath = journal::pathFor(archivePath);
    if (!exists(journalPath)) {
        return Recovery::NoJournal;
    }
    File journal = File::open(journalPath, File::Access::Read);
    if (!ownJournalFile(journalPath, journal)) {
        throw foreign(journalPath, archivePath);
    }
    unsigned char headerBytes[journal::kHeaderSize] = {};
    const std::size_t got = journal.readAt(0, headerBytes, sizeof headerBytes);
    journal::Header header;
    switch (journal::decodeHeader(headerBytes, got, header)) {
        case journal::HeaderState::Incomplete:
            journal.close();
            File::remove(journalPath);
            File::syncFolderOf(journalPath);
            return Recovery::Discarded;
        case journal::HeaderState::Foreign:
            throw foreign(journalPath, archivePath);
        case journal::HeaderState::Damaged:
            throw damaged(journalPath, archivePath, "its header does not check out");
        case journal::HeaderState::Complete:
            break;
    }
    if (journal.length() != journal::kHeaderSize + header.bodyLength) {
        throw damaged(journalPath, archivePath, "its length is not the one its header gives");
    }
    JournalBody body;
    std::string why;
    if (!readBody(journal, header, body, why)) {
        throw damaged(journalPath, archivePath, why);
    }
    if (!belongsTo(journal, header, body, archive)) {
        throw foreign(journalPath, archivePath);
    }
    try {
        File writer = archive.reopenForWriting();
        journal::restore(journal, body.ranges, header.oldLength, writer);
    } catch (const std::exception& failure) {
        throw Failure("The archive " + archivePath +
                      " was left half-written by an interrupted save, and putting it back from "
                      "its journal " +
                      journalPath + " failed (" + failure.what() +
                      "). The journal stays: open the archive again once that is mended.");
    }
    journal.close();
    File::remove(journalPath);
    File::syncFolderOf(journalPath);
    return Recovery::RolledBack;
}

void refuseIfJournal(const std::string& archivePath) {
    const std::string journalPath = journal::pathFor(archivePath);
    if (exists(journalPath)) {
        throw Failure("The archive " + archivePath +
                      " has the journal of an interrupted save beside it (" + journalPath +
                      "). Open the archive again: that puts it back as it was before that "
                      "save.");
    }
}

}  // namespace xcr
