#include "archive/format/EntryTable.h"

namespace xcr {
inline namespace format {

void EntryTable::Builder::expect(std::int64_t count) {
    names_->reserve(static_cast<std::size_t>(count));
    placements_.reserve(static_cast<std::size_t>(count));
}

void EntryTable::Builder::add(std::string_view storedName, std::int32_t offset, std::int32_t size) {
    names_->add(storedName);
    placements_.push_back({offset, size});
}

EntryTable EntryTable::Builder::finish(DirectoryFingerprint fingerprint) {
    EntryTable table(std::move(names_), std::move(placements_), fingerprint);
    names_ = std::make_shared<EntryNames>();
    placements_.clear();
    return table;
}

EntryTable::EntryTable() : names_(std::make_shared<EntryNames>()) {}

EntryTable::EntryTable(std::shared_ptr<const EntryNames> names, std::vector<Placement> placements,
                       DirectoryFingerprint fingerprint)
    : names_(std::move(names)), placements_(std::move(placements)), fingerprint_(fingerprint) {}

EntryTable EntryTable::withPlacements(std::vector<Placement> placements,
                                      DirectoryFingerprint fingerprint) const {
    return EntryTable(names_, std::move(placements), fingerprint);
}

}  // namespace format
}  // namespace xcr
