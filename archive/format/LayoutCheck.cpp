#include "archive/format/LayoutCheck.h"

#include <algorithm>

#include "archive/format/XcrLayout.h"
#include "archive/os/Failure.h"

namespace xcr {
inline namespace format {

namespace {

std::string quoted(const EntryTable& entries, std::size_t index) {
    return "\"" + std::string(entries.displayName(static_cast<int>(index))) + "\"";
}

bool inRange(std::int64_t value) {
    return value >= 0 && value <= layout::kMaxValue;
}

}  // namespace

std::string layoutRefusal(const EntryTable& entries, const std::vector<PlannedPlacement>& after,
                          std::int64_t total) {
    const std::vector<EntryTable::Placement>& before = entries.placements();
    if (!inRange(total)) {
        return std::string("Save refused: the archive would reach 2 GiB or more") + kLeftUnchanged;
    }
    const std::int64_t directoryEnd = layout::directoryEnd(static_cast<std::int64_t>(after.size()));
    std::vector<std::size_t> written;
    for (std::size_t i = 0; i < after.size(); ++i) {
        const PlannedPlacement& p = after[i];
        if (!inRange(p.offset) || !inRange(p.size) || !inRange(p.offset + p.size)) {
            return "Save refused: entry " + quoted(entries, i) +
                   " would lie outside the first 2 GiB of the archive" + kLeftUnchanged;
        }
        if (p.size == 0) {
            continue;  // nothing is written for it
        }
        if (p.offset < directoryEnd) {
            return "Save refused: entry " + quoted(entries, i) +
                   " would overwrite the archive's directory" + kLeftUnchanged;
        }
        written.push_back(i);
    }

    // Overlapping ranges form clusters. A cluster is harmless only when all its entries
    // write old bytes moved by one same amount; any other cluster holds an overlapping
    // pair that would destroy data.
    std::sort(written.begin(), written.end(),
              [&](std::size_t a, std::size_t b) { return after[a].offset < after[b].offset; });
    auto shift = [&](std::size_t i) { return after[i].offset - before[i].offset; };
    std::size_t endHolder = 0;
    std::int64_t clusterEnd = -1;
    for (const std::size_t i : written) {
        const PlannedPlacement& p = after[i];
        if (p.offset < clusterEnd) {
            const PlannedPlacement& q = after[endHolder];
            if (p.replaced || q.replaced || shift(i) != shift(endHolder)) {
                return "Save refused: entries " + quoted(entries, std::min(i, endHolder)) +
                       " and " + quoted(entries, std::max(i, endHolder)) + " would overlap" +
                       kLeftUnchanged;
            }
        }
        if (p.offset + p.size > clusterEnd) {
            clusterEnd = p.offset + p.size;
            endHolder = i;
        }
    }
    return {};
}

}  // namespace format
}  // namespace xcr
