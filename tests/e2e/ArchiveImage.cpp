#include "tests/e2e/ArchiveImage.h"

#include <algorithm>
#include <stdexcept>

#include "archive/format/XcrLayout.h"

namespace xcr::e2e {

namespace {

using namespace layout;

std::size_t at(std::int64_t position) {
    return static_cast<std::size_t>(position);
}

}  // namespace

ArchiveImage::ArchiveImage(test::Bytes bytes) : bytes_(std::move(bytes)) {}

std::vector<ArchiveImage::Entry> ArchiveImage::entries() const {
    const std::int32_t count = test::numberAt(bytes_, at(kRecordCountPos));
    std::vector<Entry> found;
    for (std::int32_t i = 0; i + 1 < count; ++i) {
        const std::size_t record = at(recordPos(i));
        if (record + at(kRecordSize) > bytes_.size()) {
            throw std::runtime_error("the archive is shorter than its directory");
        }
        Entry entry;
        const auto* name = reinterpret_cast<const char*>(bytes_.data() + record);
        entry.storedName.assign(name, std::find(name, name + kNameFieldSize, '\0'));
        const auto last = entry.storedName.find_last_of("\\:");
        entry.displayName =
            last == std::string::npos ? entry.storedName : entry.storedName.substr(last + 1);
        entry.offset = test::numberAt(bytes_, record + at(kOffsetField));
        entry.size = test::numberAt(bytes_, record + at(kSizeField));
        found.push_back(entry);
    }
    return found;
}

test::Bytes ArchiveImage::data(const Entry& entry) const {
    const auto begin = static_cast<std::size_t>(entry.offset);
    const auto end = begin + static_cast<std::size_t>(entry.size);
    if (entry.offset < 0 || entry.size < 0 || end > bytes_.size()) {
        throw std::runtime_error("entry " + entry.storedName + " lies outside the archive");
    }
    return {bytes_.begin() + static_cast<std::ptrdiff_t>(begin),
            bytes_.begin() + static_cast<std::ptrdiff_t>(end)};
}

ArchiveImage ArchiveImage::savedWithReplacement(int index, const test::Bytes& replacement) const {
    const auto before = entries();
    auto after = before;
    const auto change = static_cast<std::int32_t>(replacement.size()) - before[index].size;
    after[index].size = static_cast<std::int32_t>(replacement.size());
    for (std::size_t j = static_cast<std::size_t>(index) + 1; j < after.size(); ++j) {
        after[j].offset += change;
    }

    test::Bytes saved = bytes_;
    test::putNumber(saved, at(kTotalSizePos), static_cast<std::int32_t>(bytes_.size()) + change);
    for (std::size_t i = 0; i < after.size(); ++i) {
        const auto record = static_cast<std::int64_t>(i);
        test::putNumber(saved, at(offsetPos(record)), after[i].offset);
        test::putNumber(saved, at(offsetPos(record) + kNumberSize), after[i].size);
    }
    for (std::size_t i = 0; i < after.size(); ++i) {
        const test::Bytes data = static_cast<int>(i) == index ? replacement : this->data(before[i]);
        const auto at = static_cast<std::size_t>(after[i].offset);
        saved.resize(std::max(saved.size(), at + data.size()));
        std::copy(data.begin(), data.end(), saved.begin() + static_cast<std::ptrdiff_t>(at));
    }
    return ArchiveImage(std::move(saved));
}

}  // namespace xcr::e2e
