#ifndef ARCHIVE_PATCH_PATCHMAKING_H
#define ARCHIVE_PATCH_PATCHMAKING_H

#include <cstdint>
#include <string>
#include <vector>

#include "archive/format/EntryTable.h"
#include "archive/jobs/Replacement.h"
#include "archive/store/HeldArchive.h"

namespace xcr {
inline namespace patch {

struct PatchMade {
    int entries = 0;
    std::int64_t bytes = 0;
};

// Writes to `patchPath` a patch of every listed entry whose bytes differ between the two
// archives, comparing them as streams. Archives whose listed entries differ in number or
// in stored names are refused ("Cannot make a patch of ...") before anything is written:
// a patch replaces entries, it never adds or removes them. No patch is written when no
// entry differs.
PatchMade diffArchives(HeldArchive& original, const EntryTable& originalEntries,
                       HeldArchive& modified, const EntryTable& modifiedEntries,
                       const std::string& patchPath);

// Writes to `patchPath` a patch that makes `archive` (as it is on disk) what the
// replacements would save it as: each entry's original bytes there, its new bytes from
// its file.
PatchMade exportReplacements(HeldArchive& archive, const EntryTable& entries,
                             const std::vector<Replacement>& replacements,
                             const std::string& patchPath);

}  // namespace patch
}  // namespace xcr

#endif  // ARCHIVE_PATCH_PATCHMAKING_H
