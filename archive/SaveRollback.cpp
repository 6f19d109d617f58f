#include "archive/SaveRollback.h"

#include <algorithm>

#include "archive/EntryCopy.h"
#include "archive/XcrLayout.h"

namespace xcr {

using namespace layout;

SaveRollback::SaveRollback(const StagingFolder& staging, std::vector<EntryTable::Placement> before)
    : staging_(staging), before_(std::move(before)) {}

std::string SaveRollback::uncoveredCopy() const {
    return staging_.fileInside("uncovered");
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
            uncovered_.emplace_back(at, end - at);
        }
    };
    for (const auto& block : blocks) {
        keep(block.offset);
        at = std::max(at, std::int64_t{block.offset} + block.size);
    }
    keep(length);
    if (uncovered_.empty()) {
        return;
    }
    File copy = File::open(uncoveredCopy(), File::Access::Create);
    for (const auto& [position, size] : uncovered_) {
        copyEntry(archive, static_cast<std::int32_t>(position), static_cast<std::int32_t>(size),
                  copy);
    }
    copy.close();
}

void SaveRollback::restore(File& archive) const {
    for (std::size_t i = 0; i < before_.size(); ++i) {
        if (before_[i].size == 0) {
            continue;
        }
        File copy = File::open(staging_.entryCopy(static_cast<int>(i)), File::Access::Read);
        archive.seek(before_[i].offset);
        copyEntry(copy, 0, before_[i].size, archive);
    }
    if (!uncovered_.empty()) {
        File copy = File::open(uncoveredCopy(), File::Access::Read);
        std::int64_t inCopy = 0;
        for (const auto& [position, size] : uncovered_) {
            archive.seek(position);
            copyEntry(copy, static_cast<std::int32_t>(inCopy), static_cast<std::int32_t>(size),
                      archive);
            inCopy += size;
        }
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

}  // namespace xcr
