#include "archive/SaveRollback.h"

#include <algorithm>
#include <exception>

#include "archive/XcrLayout.h"

namespace xcr {

using namespace layout;

SaveRollback::SaveRollback(StagedBytes& staged, std::vector<EntryTable::Placement> before)
    : staged_(staged), before_(std::move(before)), entryAt_(before_.size(), 0) {}

void SaveRollback::keepEntry(File& archive, int index) {
    const auto i = static_cast<std::size_t>(index);
    entryAt_[i] = staged_.keep(archive, before_[i].offset, before_[i].size);
}

void SaveRollback::keepUncoveredBytes(File& archive) {
    const std::int64_t length = archive.length();
    // A file that ends inside the field keeps only the bytes it has.
    totalField_.clear();
    if (length > kTotalSizePos) {
        totalField_.resize(kNumberSize);
        archive.seek(kTotalSizePos);
        totalField_.resize(archive.readSome(totalField_.data(), totalField_.size()));
    }

    std::vector<EntryTable::Placement> blocks;
    for (const auto& p : before_) {
        if (p.size > 0) {
            blocks.push_back(p);
        }
    }
    std::sort(blocks.begin(), blocks.end(),
              [](const auto& a, const auto& b) { return a.offset < b.offset; });
    std::int64_t at = directoryEnd(static_cast<std::int64_t>(before_.size()));
    uncovered_.clear();
    auto keep = [&](std::int64_t end) {
        end = std::min(end, length);
        if (end > at) {
            uncovered_.push_back({at, end - at, staged_.keep(archive, at, end - at)});
        }
    };
    for (const auto& block : blocks) {
        keep(block.offset);
        at = std::max(at, std::int64_t{block.offset} + block.size);
    }
    keep(length);
}

void SaveRollback::copyEntryBack(int index, File& target) {
    const auto i = static_cast<std::size_t>(index);
    staged_.copyBack(entryAt_[i], before_[i].size, target);
}

void SaveRollback::restore(File& archive) {
    for (std::size_t i = 0; i < before_.size(); ++i) {
        if (before_[i].size == 0) {
            continue;
        }
        archive.seek(before_[i].offset);
        copyEntryBack(static_cast<int>(i), archive);
    }
    for (const KeptRange& range : uncovered_) {
        archive.seek(range.position);
        staged_.copyBack(range.at, range.size, archive);
    }
    for (std::size_t i = 0; i < before_.size(); ++i) {
        unsigned char fields[2 * kNumberSize];
        writeNumber(fields, before_[i].offset);
        writeNumber(fields + kNumberSize, before_[i].size);
        archive.seek(offsetPos(static_cast<std::int64_t>(i)));
        archive.writeAll(fields, sizeof fields);
    }
    if (!totalField_.empty()) {
        archive.seek(kTotalSizePos);
        archive.writeAll(totalField_.data(), totalField_.size());
    }
    archive.truncate(oldLength_);
    archive.sync();
}

void SaveRollback::writeListing(const std::string& listingPath, const EntryTable& entries) const {
    std::string text = "position in entries, bytes, entry\n";
    for (std::size_t i = 0; i < before_.size(); ++i) {
        const int index = static_cast<int>(i);
        text += std::to_string(entryAt_[i]) + " " + std::to_string(before_[i].size) + " " +
                (index < entries.count() ? entries.displayName(index) : std::string()) + "\n";
    }
    try {
        File listing = File::open(listingPath, File::Access::Create);
        listing.writeAll(text.data(), text.size());
    } catch (const std::exception&) {
        // The disk that failed the restore may well fail this too; the message still
        // names the folder.
    }
}

}  // namespace xcr
