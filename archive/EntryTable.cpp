#include "archive/EntryTable.h"

#include "archive/DisplayName.h"

namespace xcr {

void EntryTable::assign(const std::vector<DirectoryRecord>& records) {
    std::vector<std::string> names;
    std::vector<Placement> placements;
    names.reserve(records.size());
    placements.reserve(records.size());
    for (const auto& record : records) {
        names.push_back(xcr::displayName(record.rawName));
        placements.push_back({record.offset, record.size});
    }
    replaceWith(std::move(names), std::move(placements));
}

void EntryTable::assign(File& archive) {
    std::vector<std::string> names;
    std::vector<Placement> placements;
    visitDirectory(
        archive,
        DirectoryVisitor{[&](std::int64_t count) {
                             names.reserve(static_cast<std::size_t>(count));
                             placements.reserve(static_cast<std::size_t>(count));
                         },
                         [&](std::string_view rawName, std::int32_t offset, std::int32_t size) {
                             names.push_back(xcr::displayName(rawName));
                             placements.push_back({offset, size});
                         }});
    replaceWith(std::move(names), std::move(placements));
}

void EntryTable::replaceWith(std::vector<std::string> names, std::vector<Placement> placements) {
    names_ = std::move(names);
    std::lock_guard lock(placementsMutex_);
    placements_ = std::move(placements);
}

void EntryTable::clear() {
    assign({});
}

int EntryTable::count() const {
    return static_cast<int>(names_.size());
}

const std::string& EntryTable::displayName(int index) const {
    return names_.at(index);
}

EntryTable::Placement EntryTable::placement(int index) const {
    std::lock_guard lock(placementsMutex_);
    return placements_.at(index);
}

std::vector<EntryTable::Placement> EntryTable::placements() const {
    std::lock_guard lock(placementsMutex_);
    return placements_;
}

void EntryTable::setPlacement(int index, Placement placement) {
    std::lock_guard lock(placementsMutex_);
    placements_.at(index) = placement;
}

void EntryTable::setPlacements(const std::vector<Placement>& placements) {
    std::lock_guard lock(placementsMutex_);
    placements_ = placements;
}

}  // namespace xcr
