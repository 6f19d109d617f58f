#ifndef ARCHIVE_PATCH_PATCHFIT_H
#define ARCHIVE_PATCH_PATCHFIT_H

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "archive/format/EntryTable.h"
#include "archive/jobs/Replacement.h"
#include "archive/os/OutputFolder.h"
#include "archive/patch/PatchFile.h"
#include "archive/store/HeldArchive.h"

namespace xcr {
inline namespace patch {

// How a patch fits an archive, entry by entry. Each patch entry is matched with the
// listed entry of its stored name; among entries of one name, its index decides.
struct PatchFit {
    enum class State {
        Replace,    // the entry holds the bytes the patch was made from
        Applied,    // it holds the patch's bytes already
        Differs,    // it holds other bytes
        Missing,    // no listed entry has the name
        Ambiguous,  // several do, and none has the patch's index
    };
    struct Item {
        std::size_t patchEntry = 0;
        int index = -1;  // the archive's entry, or -1
        State state = State::Missing;
    };

    std::vector<Item> items;  // in the patch's order

    bool fits() const;
    int count(State state) const;
    // "Cannot apply PATCH to ARCHIVE: " and one clause for every entry that does not fit,
    // names shown through `shown`; empty when the patch fits.
    std::string refusal(const PatchFile& patch, const std::string& archive,
                        const std::function<std::string(std::string_view)>& shown) const;
};

// Matches every entry of the patch with the archive's table and reads the matched
// entries' bytes (streamed) to tell which state each is in.
PatchFit fitPatch(const PatchFile& patch, HeldArchive& archive, const EntryTable& entries);

// Writes the bytes of every entry the fit replaces into new private files of `folder`,
// checking them against the patch as they are written, and gives the replacements that
// name those files, in entry order. A failure removes the files written so far.
std::vector<Replacement> stagePatch(PatchFile& patch, const PatchFit& fit,
                                    const OutputFolder& folder);

// Removes the files of `folder` that none of `kept` names: patch bytes whose
// replacements were dropped. Quiet on failure, as a cleanup.
void sweepStaged(const OutputFolder& folder, const std::vector<Replacement>& kept);

}  // namespace patch
}  // namespace xcr

#endif  // ARCHIVE_PATCH_PATCHFIT_H
