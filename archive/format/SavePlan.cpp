#include "archive/format/SavePlan.h"

#include <algorithm>
#include <map>

#include "archive/format/XcrLayout.h"

namespace xcr {
inline namespace format {

namespace {

// Ranges covered so far, by start; disjoint and never touching.
class Coverage {
public:
    // Adds [from, to) and appends to `pieces` the parts that were not covered yet.
    void add(std::int64_t from, std::int64_t to, std::vector<ByteRange>& pieces) {
        if (from >= to) {
            return;
        }
        auto it = covered_.upper_bound(from);
        if (it != covered_.begin() && std::prev(it)->second >= from) {
            --it;
        }
        std::int64_t start = from;
        std::int64_t end = to;
        std::int64_t at = from;
        while (it != covered_.end() && it->first <= to) {
            if (it->first > at) {
                pieces.push_back({at, it->first - at});
            }
            at = std::max(at, it->second);
            start = std::min(start, it->first);
            end = std::max(end, it->second);
            it = covered_.erase(it);
        }
        if (at < to) {
            pieces.push_back({at, to - at});
        }
        covered_[start] = end;
    }

private:
    std::map<std::int64_t, std::int64_t> covered_;
};

}  // namespace

SavePlan::SavePlan(const EntryTable& entries, const std::vector<std::int64_t>& newSizes,
                   std::int64_t oldLength)
    : before_(entries.placements()), oldLength_(oldLength), total_(oldLength) {
    const int n = entries.count();
    after_.resize(static_cast<std::size_t>(n));
    std::int64_t shift = 0;
    for (int i = 0; i < n; ++i) {
        const auto before = entries.placement(i);
        PlannedPlacement& p = after_[static_cast<std::size_t>(i)];
        p.offset = std::int64_t{before.offset} + shift;
        p.size = before.size;
        p.replaced = newSizes[static_cast<std::size_t>(i)] >= 0;
        if (p.replaced) {
            p.size = newSizes[static_cast<std::size_t>(i)];
            const std::int64_t change = p.size - before.size;
            total_ += change;
            shift += change;
        }
    }

    // The full rewrite's file length, followed through its data pass: the old length,
    // grown first by the header and directory writes of a file shorter than its directory.
    std::int64_t length = std::max(oldLength, layout::fieldsEnd(n));
    Coverage coverage;
    beeps_.resize(static_cast<std::size_t>(n));
    firstOverwritten_.reserve(static_cast<std::size_t>(n) + 1);
    for (int i = 0; i < n; ++i) {
        const PlannedPlacement& p = after_[static_cast<std::size_t>(i)];
        beeps_[static_cast<std::size_t>(i)] = p.offset == length ? 1 : 0;
        if (p.size > 0) {
            length = std::max(length, p.offset + p.size);
        }
        writesEntries_ = writesEntries_ || rewrites(i) || writesRecord(i);
        firstOverwritten_.push_back(overwritten_.size());
        if (rewrites(i)) {
            coverage.add(std::min(p.offset, oldLength), std::min(p.offset + p.size, oldLength),
                         overwritten_);
        }
    }
    firstOverwritten_.push_back(overwritten_.size());
    lengthAfter_ = length;
}

std::vector<EntryTable::Placement> SavePlan::placements() const {
    std::vector<EntryTable::Placement> placements;
    placements.reserve(after_.size());
    for (const PlannedPlacement& p : after_) {
        placements.push_back(
            {static_cast<std::int32_t>(p.offset), static_cast<std::int32_t>(p.size)});
    }
    return placements;
}

bool SavePlan::rewrites(int index) const {
    const PlannedPlacement& p = after_[static_cast<std::size_t>(index)];
    return p.size > 0 &&
           (p.replaced || p.offset != before_[static_cast<std::size_t>(index)].offset);
}

bool SavePlan::writesRecord(int index) const {
    const PlannedPlacement& p = after_[static_cast<std::size_t>(index)];
    const auto before = before_[static_cast<std::size_t>(index)];
    return p.offset != before.offset || p.size != before.size ||
           layout::offsetPos(index) + 2 * layout::kNumberSize > oldLength_;
}

std::vector<ByteRange> SavePlan::overwrittenBy(int index) const {
    const auto i = static_cast<std::size_t>(index);
    return {overwritten_.begin() + static_cast<std::ptrdiff_t>(firstOverwritten_[i]),
            overwritten_.begin() + static_cast<std::ptrdiff_t>(firstOverwritten_[i + 1])};
}

ByteRange SavePlan::directory() const {
    return {0, layout::directoryPresent(static_cast<std::int64_t>(after_.size()), oldLength_)};
}

std::vector<unsigned char> SavePlan::plannedFields() const {
    std::vector<unsigned char> fields(
        static_cast<std::size_t>(layout::kNumberSize * (1 + 2 * after_.size())));
    layout::writeNumber(fields.data(), static_cast<std::int32_t>(total_));
    unsigned char* at = fields.data() + layout::kNumberSize;
    for (const auto& placement : placements()) {
        layout::writeNumber(at, placement.offset);
        layout::writeNumber(at + layout::kNumberSize, placement.size);
        at += 2 * layout::kNumberSize;
    }
    return fields;
}

}  // namespace format
}  // namespace xcr
