#include "archive/JournalRecovery.h"

#include <sys/stat.h>

#include <algorithm>
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

// Reads the kept ranges and checks the body against its checksum. Empty when the body
// does not check out.
std::vector<KeptRange> readRanges(File& journal, const journal::Header& header, std::string& why) {
    const std::int64_t end = journal::kHeaderSize + header.bodyLength;
    std::vector<KeptRange> ranges;
    std::vector<unsigned char> buffer(kCopyBufferSize);
    Checksum checksum;
    std::int64_t at = journal::kHeaderSize;
    for (std::int64_t r = 0; r < header.rangeCount; ++r) {
        unsigned char rangeHeader[journal::kRangeHeaderSize];
        if (end - at < journal::kRangeHeaderSize ||
            journal.readAt(at, rangeHeader, sizeof rangeHeader) != sizeof rangeHeader) {
            why = "it ends inside its kept ranges";
            return {};
        }
        checksum.add(rangeHeader, sizeof rangeHeader);
        const auto position = static_cast<std::int64_t>(journal::numberAt(rangeHeader));
        const auto size = static_cast<std::int64_t>(journal::numberAt(rangeHeader + 8));
        at += journal::kRangeHeaderSize;
        if (position < 0 || size < 0 || size > end - at || position > header.oldLength - size) {
            why = "a kept range lies outside the archive or the journal";
            return {};
        }
        ranges.push_back({position, size, at});
        for (std::int64_t done = 0; done < size;) {
            const auto chunk =
                static_cast<std::size_t>(std::min<std::int64_t>(size - done, buffer.size()));
            const std::size_t got = journal.readAt(at + done, buffer.data(), chunk);
            checksum.add(buffer.data(), got);
            if (got < chunk) {
                why = "it is shorter than its header says";
                return {};
            }
            done += static_cast<std::int64_t>(got);
        }
        at += size;
    }
    if (at != end || checksum.value() != header.bodyChecksum) {
        why = "its checksum does not match";
        return {};
    }
    const std::int64_t directoryBytes =
        std::min(header.oldLength, layout::directoryEnd(header.listed));
    if (ranges.empty() || ranges.front().position != 0 || ranges.front().size != directoryBytes) {
        why = "it does not hold the archive's directory";
        return {};
    }
    return ranges;
}

// A save writes only the total size field and the offset and size fields of the listed
// records into the first `directoryEnd` bytes; everything else there is the archive's
// own and must be what the journal kept.
bool isWrittenBySave(std::int64_t position, std::int64_t listed) {
    if (position >= layout::kTotalSizePos &&
        position < layout::kTotalSizePos + layout::kNumberSize) {
        return true;
    }
    if (position < layout::kHeaderSize || position >= layout::recordPos(listed)) {
        return false;
    }
    const std::int64_t inRecord = (position - layout::kHeaderSize) % layout::kRecordSize;
    return inRecord >= layout::kOffsetField && inRecord < layout::kSizeField + layout::kNumberSize;
}

bool belongsTo(File& journal, const KeptRange& directory, std::int64_t listed, File& archive) {
    if (archive.length() < directory.size) {
        return false;
    }
    std::vector<unsigned char> kept(kCopyBufferSize);
    std::vector<unsigned char> now(kCopyBufferSize);
    for (std::int64_t done = 0; done < directory.size;) {
        const auto chunk =
            static_cast<std::size_t>(std::min<std::int64_t>(directory.size - done, kept.size()));
        if (journal.readAt(directory.at + done, kept.data(), chunk) != chunk ||
            archive.readAt(done, now.data(), chunk) != chunk) {
            return false;
        }
        for (std::size_t i = 0; i < chunk; ++i) {
            if (kept[i] != now[i] &&
                !isWrittenBySave(done + static_cast<std::int64_t>(i), listed)) {
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
    std::string why;
    const std::vector<KeptRange> ranges = readRanges(journal, header, why);
    if (ranges.empty()) {
        throw damaged(journalPath, archivePath, why);
    }
    if (!belongsTo(journal, ranges.front(), header.listed, archive)) {
        throw foreign(journalPath, archivePath);
    }
    File writer = archive.reopenForWriting();
    journal::restore(journal, ranges, header.oldLength, writer);
    writer.close();
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
