#include "archive/patch/PatchMaking.h"

#include <algorithm>
#include <vector>

#include "archive/jobs/ReplacementSource.h"
#include "archive/os/EntryCopy.h"
#include "archive/os/Failure.h"
#include "archive/os/FileIdentity.h"
#include "archive/patch/PatchStreams.h"
#include "archive/patch/PatchWriter.h"

namespace xcr {
inline namespace patch {

namespace {

std::string entryText(int index) {
    return "entry " + std::to_string(index);
}

// Whether the two entries hold the same bytes. Data cut short names the archive it
// runs past the end of.
bool sameBytes(HeldArchive& first, EntryTable::Placement a, HeldArchive& second,
               EntryTable::Placement b) {
    if (a.size != b.size) {
        return false;
    }
    try {
        return sameRange(first.file(), a.offset, second.file(), b.offset, a.size);
    } catch (const Failure&) {
        const HeldArchive& short_ = a.offset + a.size > first.file().length() ? first : second;
        throw Failure("Cannot read " + short_.path() + ": an entry's data runs past its end");
    }
}

// The original's bytes of entry `index` as the patch records them.
PatchEntry originalOf(HeldArchive& archive, const EntryTable& entries, int index) {
    const EntryTable::Placement placement = entries.placement(index);
    PatchEntry entry;
    entry.index = index;
    entry.storedName = std::string(entries.storedName(index));
    entry.originalSize = placement.size;
    try {
        entry.originalChecksum = streamRange(archive.file(), placement.offset, placement.size);
    } catch (const Failure&) {
        throw Failure("Cannot read " + archive.path() + ": the data of " + entryText(index) +
                      " runs past its end");
    }
    return entry;
}

void refuseOutside(const HeldArchive& archive, const EntryTable& entries) {
    for (int i = 0; i < entries.count(); ++i) {
        const EntryTable::Placement placement = entries.placement(i);
        if (placement.offset < 0 || placement.size < 0) {
            throw Failure("Cannot read " + archive.path() + ": the data of " + entryText(i) +
                          " lies outside the file");
        }
    }
}

// A patch takes its name by a rename, which would put it in place of an archive it was
// made from: that name is refused before anything is read.
void refuseArchiveName(const std::string& patchPath, const HeldArchive& archive) {
    const FileIdentity there = [&]() -> FileIdentity {
        try {
            return File::open(patchPath, File::Access::Read).identity();
        } catch (const Failure&) {
            return {};  // nothing there, or nothing a patch could be mistaken for
        }
    }();
    if (there != FileIdentity{} && there == archive.identity()) {
        throw Failure(cannotCreateText(
            patchPath, "it is the archive " + archive.path() + ", which the patch would replace"));
    }
}

}  // namespace

PatchMade diffArchives(HeldArchive& original, const EntryTable& originalEntries,
                       HeldArchive& modified, const EntryTable& modifiedEntries,
                       const std::string& patchPath) {
    const std::string refused =
        "Cannot make a patch of " + original.path() + " and " + modified.path() + ": ";
    const std::string never = "; a patch replaces entries, it never adds or removes them";
    if (originalEntries.count() != modifiedEntries.count()) {
        throw Failure(refused + "the first lists " + std::to_string(originalEntries.count()) +
                      " entries, the second " + std::to_string(modifiedEntries.count()) + never);
    }
    for (int i = 0; i < originalEntries.count(); ++i) {
        if (originalEntries.storedName(i) != modifiedEntries.storedName(i)) {
            throw Failure(refused + "entry " + std::to_string(i) +
                          " has another stored name in each" + never);
        }
    }
    refuseArchiveName(patchPath, original);
    refuseArchiveName(patchPath, modified);
    refuseOutside(original, originalEntries);
    refuseOutside(modified, modifiedEntries);
    std::vector<PatchEntry> changed;
    for (int i = 0; i < originalEntries.count(); ++i) {
        if (!sameBytes(original, originalEntries.placement(i), modified,
                       modifiedEntries.placement(i))) {
            changed.push_back(originalOf(original, originalEntries, i));
        }
    }
    PatchMade made;
    if (changed.empty()) {
        return made;
    }
    PatchWriter writer(patchPath, changed);
    for (const PatchEntry& entry : changed) {
        const EntryTable::Placement placement = modifiedEntries.placement(entry.index);
        writer.addBytes(modified.file(), placement.offset, placement.size);
        made.bytes += placement.size;
    }
    writer.commit();
    made.entries = static_cast<int>(changed.size());
    return made;
}

PatchMade exportReplacements(HeldArchive& archive, const EntryTable& entries,
                             const std::vector<Replacement>& replacements,
                             const std::string& patchPath) {
    refuseArchiveName(patchPath, archive);
    refuseOutside(archive, entries);
    std::vector<Replacement> sorted = replacements;
    std::sort(sorted.begin(), sorted.end(),
              [](const Replacement& a, const Replacement& b) { return a.index < b.index; });
    std::vector<PatchEntry> planned;
    std::vector<File> sources;
    for (const Replacement& replacement : sorted) {
        if (replacement.index < 0 || replacement.index >= entries.count()) {
            throw Failure("Cannot make a patch: entry " + std::to_string(replacement.index) +
                          " is not listed in " + archive.path());
        }
        planned.push_back(originalOf(archive, entries, replacement.index));
        sources.push_back(openReplacement(replacement));
    }
    PatchWriter writer(patchPath, planned);
    PatchMade made;
    for (std::size_t i = 0; i < sources.size(); ++i) {
        const std::int64_t size = sources[i].length();
        try {
            writer.addBytes(sources[i], 0, size);
        } catch (const Failure& failure) {
            if (std::string(failure.what()) == kStreamReadError) {
                throw Failure("Cannot read " + sorted[i].path + ": it became shorter while read");
            }
            throw;
        }
        made.bytes += size;
    }
    writer.commit();
    made.entries = static_cast<int>(planned.size());
    return made;
}

}  // namespace patch
}  // namespace xcr
