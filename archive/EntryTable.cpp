#include "archive/EntryTable.h"

#include "archive/DisplayName.h"

namespace xcr {

namespace {

// A table's new contents, filled one record at a time.
struct Contents {
    std::vector<std::string> names;
    std::vector<EntryTable::Placement> placements;

    void expect(std::size_t count) {
        names.reserve(count);
        placements.reserve(count);
    }
    void add(std::string_view rawName, std::int32_t offset, std::int32_t size) {
        names.push_back(displayName(rawName));
        placements.push_back({offset, size});
    }
};

}  // namespace

void EntryTable::assign(const std::vector<DirectoryRecord>& records) {
    Contents contents;
    contents.expect(records.size());
    for (const auto& record : records) {
        contents.add(record.rawName, record.offset, record.size);
    }
    replaceWith(std::move(contents.names), std::move(contents.placements));
}

void EntryTable::assign(File& archive) {
    Contents contents;
    visitDirectory(archive,
                   {[&](std::int64_t count) { contents.expect(static_cast<std::size_t>(count)); },
                    [&](std::string_view rawName, std::int32_t offset, std::int32_t size) {
                        contents.add(rawName, offset, size);
                    }});
    replaceWith(std::move(contents.names), std::move(contents.placements));
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
