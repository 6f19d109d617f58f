#include "cli/EntryListing.h"

#include <algorithm>
#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "cli/NameText.h"

namespace xcr {

namespace {

// Printable names hold one character per code point, each one column wide.
std::size_t columns(const std::string& text) {
    return static_cast<std::size_t>(
        std::count_if(text.begin(), text.end(), [](char c) { return (c & 0xC0) != 0x80; }));
}

void pad(std::ostream& out, std::size_t used, std::size_t width) {
    out << std::string(width > used ? width - used : 0, ' ');
}

}  // namespace

void writeEntryTable(std::ostream& out, const EntryTable& entries) {
    struct Row {
        std::string index, offset, size, name, stored;
    };
    std::vector<Row> rows;
    rows.push_back({"index", "offset", "size", "name", "stored name"});
    for (int i = 0; i < entries.count(); ++i) {
        const EntryTable::Placement p = entries.placement(i);
        rows.push_back({std::to_string(i), std::to_string(p.offset), std::to_string(p.size),
                        printableName(entries.displayName(i)),
                        printableName(entries.storedName(i))});
    }
    std::size_t index = 0, offset = 0, size = 0, name = 0;
    for (const Row& row : rows) {
        index = std::max(index, row.index.size());
        offset = std::max(offset, row.offset.size());
        size = std::max(size, row.size.size());
        name = std::max(name, columns(row.name));
    }
    for (const Row& row : rows) {
        pad(out, row.index.size(), index);
        out << row.index << "  ";
        pad(out, row.offset.size(), offset);
        out << row.offset << "  ";
        pad(out, row.size.size(), size);
        out << row.size << "  " << row.name;
        pad(out, columns(row.name), name);
        out << "  " << row.stored << '\n';
    }
}

void writeEntryJson(std::ostream& out, const EntryTable& entries) {
    auto list = nlohmann::ordered_json::array();
    for (int i = 0; i < entries.count(); ++i) {
        const EntryTable::Placement p = entries.placement(i);
        list.push_back({{"index", i},
                        {"name", shownName(entries.displayName(i))},
                        {"stored_name", shownName(entries.storedName(i))},
                        {"offset", p.offset},
                        {"size", p.size}});
    }
    out << list.dump(2) << '\n';
}

}  // namespace xcr
