#include "archive/format/EntryNames.h"

#include "archive/format/DisplayName.h"

namespace xcr {
inline namespace format {

void EntryNames::reserve(std::size_t count) {
    ends_.reserve(count);
    displayStarts_.reserve(count);
}

void EntryNames::add(std::string_view storedName) {
    displayStarts_.push_back(static_cast<std::uint16_t>(displayNameStart(storedName)));
    bytes_.append(storedName);
    ends_.push_back(static_cast<std::uint32_t>(bytes_.size()));
}

std::size_t EntryNames::start(int index) const {
    return index == 0 ? 0 : ends_.at(static_cast<std::size_t>(index) - 1);
}

std::string_view EntryNames::storedName(int index) const {
    const std::size_t from = start(index);
    return std::string_view(bytes_).substr(from, ends_.at(static_cast<std::size_t>(index)) - from);
}

std::string_view EntryNames::displayName(int index) const {
    return storedName(index).substr(displayStarts_[static_cast<std::size_t>(index)]);
}

}  // namespace format
}  // namespace xcr
