#include "cli/ArchiveCheck.h"

#include <algorithm>
#include <cstdint>

#include "archive/format/Directory.h"
#include "archive/format/XcrLayout.h"
#include "archive/os/File.h"
#include "archive/store/HeldArchive.h"
#include "cli/NameText.h"

namespace xcr {

namespace {

using namespace layout;

// A header field; the bytes a short file lacks read as zero, as the reader takes them.
std::int32_t headerNumber(File& archive, std::int64_t position) {
    unsigned char bytes[kNumberSize] = {};
    archive.readAt(position, bytes, sizeof bytes);
    return readNumber(bytes);
}

// The index and the quoted display name.
std::string namedIndex(const EntryTable& entries, int index) {
    return std::to_string(index) + " \"" + printableName(entries.displayName(index)) + "\"";
}

std::string entryText(const EntryTable& entries, int index) {
    return "entry " + namedIndex(entries, index);
}

std::string bytesText(std::int64_t count) {
    return std::to_string(count) + (count == 1 ? " byte" : " bytes");
}

void checkDirectory(std::int64_t length, std::int32_t declared, std::vector<std::string>& found) {
    if (length < kHeaderSize) {
        found.push_back("the file (" + bytesText(length) + ") is shorter than the header (" +
                        bytesText(kHeaderSize) + ")");
        return;
    }
    const std::int64_t end = recordPos(std::max<std::int32_t>(declared, 0));
    if (end > length) {
        found.push_back("the directory that the header declares (" + std::to_string(declared) +
                        " records) ends at byte " + std::to_string(end) +
                        ", past the end of the file (" + bytesText(length) + ")");
    }
}

// Every entry whose data lies outside the file or in the directory; gives the entries
// whose data lies wholly within the file's data.
std::vector<int> checkPlacements(const EntryTable& entries, std::int64_t length,
                                 std::vector<std::string>& found) {
    const std::int64_t directory = directoryEnd(entries.count());
    std::vector<int> inside;
    for (int i = 0; i < entries.count(); ++i) {
        const EntryTable::Placement p = entries.placement(i);
        const std::int64_t end = std::int64_t{p.offset} + p.size;
        if (p.offset < 0 || p.size < 0) {
            found.push_back(entryText(entries, i) + ": its offset (" + std::to_string(p.offset) +
                            ") or size (" + std::to_string(p.size) + ") is negative");
        } else if (p.size == 0) {
            continue;  // no data, nothing to read
        } else if (end > length) {
            found.push_back(entryText(entries, i) + ": its data (" + bytesText(p.size) +
                            " at offset " + std::to_string(p.offset) + ") ends at byte " +
                            std::to_string(end) + ", past the end of the file (" +
                            bytesText(length) + ")");
        } else if (p.offset < directory) {
            found.push_back(entryText(entries, i) + ": its data (at offset " +
                            std::to_string(p.offset) +
                            ") lies in the header or directory, which end at byte " +
                            std::to_string(directory));
        } else {
            inside.push_back(i);
        }
    }
    return inside;
}

// Each entry whose data starts before the furthest end seen so far overlaps the entry
// that reaches there: one line per overlapping entry, however many there are.
void checkOverlaps(const EntryTable& entries, std::vector<int> inside,
                   std::vector<std::string>& found) {
    const auto start = [&](int i) { return std::int64_t{entries.placement(i).offset}; };
    const auto end = [&](int i) { return start(i) + entries.placement(i).size; };
    std::stable_sort(inside.begin(), inside.end(),
                     [&](int a, int b) { return start(a) < start(b); });
    int reach = -1;
    for (const int i : inside) {
        if (reach >= 0 && start(i) < end(reach)) {
            const int first = std::min(i, reach);
            const int second = std::max(i, reach);
            found.push_back("entries " + namedIndex(entries, first) + " and " +
                            namedIndex(entries, second) + ": their data overlap in bytes " +
                            std::to_string(start(i)) + " to " +
                            std::to_string(std::min(end(i), end(reach)) - 1));
        }
        if (reach < 0 || end(i) > end(reach)) {
            reach = i;
        }
    }
}

// A save writes the file's new length, or, when the data shrank, the new end of the
// data while the file keeps its old length: either agrees with the file.
void checkTotal(const EntryTable& entries, std::int64_t length, std::int32_t total,
                std::vector<std::string>& found) {
    std::int64_t dataEnd = directoryEnd(entries.count());
    for (const EntryTable::Placement& p : entries.placements()) {
        if (p.size > 0) {
            dataEnd = std::max(dataEnd, std::int64_t{p.offset} + p.size);
        }
    }
    if (total == length || (total < length && total >= dataEnd)) {
        return;
    }
    std::string text =
        "the total size field says " + bytesText(total) + ", but the file has " + bytesText(length);
    if (total < length) {
        text += " and its listed data ends at byte " + std::to_string(dataEnd);
    }
    found.push_back(text);
}

// A save through one of several names could be put back only through that name.
void checkNames(HeldArchive& archive, std::vector<std::string>& found) {
    const std::uint64_t names = archive.linkCount();
    if (names <= 1) {
        return;
    }
    std::string text = "the archive has " + std::to_string(names) +
                       " names (hard links), so saving it in place is refused";
    const std::vector<std::string> here = archive.otherNamesInFolder();
    if (!here.empty()) {
        text += "; its other names in its folder:";
        for (const std::string& name : here) {
            text += " " + printableName(name);
        }
    }
    found.push_back(text);
}

// What the header's record count and the directory's records say that does not fit the
// file: all that a listing reads.
void checkListing(File& file, const EntryTable& entries, std::vector<std::string>& found) {
    const std::int64_t length = file.length();
    checkDirectory(length, headerNumber(file, kRecordCountPos), found);
    checkOverlaps(entries, checkPlacements(entries, length, found), found);
}

}  // namespace

std::vector<std::string> findArchiveProblems(const std::string& path) {
    std::vector<std::string> found;
    HeldArchive archive = HeldArchive::open(path, HeldArchive::Access::Read);
    File& file = archive.file();
    const EntryTable entries = readEntryTable(file);
    checkListing(file, entries, found);
    checkTotal(entries, file.length(), headerNumber(file, kTotalSizePos), found);
    checkNames(archive, found);
    // Read, never applied: checking changes nothing.
    const std::string journal = archive.describeJournal();
    if (!journal.empty()) {
        found.push_back(journal);
    }
    return found;
}

std::vector<std::string> findDirectoryProblems(HeldArchive& archive, const EntryTable& entries) {
    std::vector<std::string> found;
    checkListing(archive.file(), entries, found);
    return found;
}

}  // namespace xcr
