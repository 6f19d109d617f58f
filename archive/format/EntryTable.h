#ifndef ARCHIVE_FORMAT_ENTRYTABLE_H
#define ARCHIVE_FORMAT_ENTRYTABLE_H

#include <cstdint>
#include <memory>
#include <string_view>
#include <vector>

#include "archive/format/DirectoryFingerprint.h"
#include "archive/format/EntryNames.h"

namespace xcr {
inline namespace format {

// The open archive's listed entries in directory order (names, data offsets and sizes)
// and the fingerprint of the directory they were read from. A value: a job takes a copy
// when it starts, and a save hands back the table of the archive it wrote. Copies share
// the names.
class EntryTable {
public:
    struct Placement {
        std::int32_t offset = 0;
        std::int32_t size = 0;

        bool operator==(const Placement&) const = default;
    };

    // Fills a table one record at a time.
    class Builder {
    public:
        void expect(std::int64_t count);
        void add(std::string_view storedName, std::int32_t offset, std::int32_t size);
        EntryTable finish(DirectoryFingerprint fingerprint);

    private:
        std::shared_ptr<EntryNames> names_ = std::make_shared<EntryNames>();
        std::vector<Placement> placements_;
    };

    EntryTable();

    int count() const { return static_cast<int>(placements_.size()); }
    std::string_view displayName(int index) const { return names_->displayName(index); }
    std::string_view storedName(int index) const { return names_->storedName(index); }
    Placement placement(int index) const { return placements_.at(static_cast<std::size_t>(index)); }
    const std::vector<Placement>& placements() const { return placements_; }
    const std::shared_ptr<const EntryNames>& names() const { return names_; }
    const DirectoryFingerprint& fingerprint() const { return fingerprint_; }

    // The same entries at the places a save moved them to, in a directory that now has
    // `fingerprint`.
    EntryTable withPlacements(std::vector<Placement> placements,
                              DirectoryFingerprint fingerprint) const;

private:
    EntryTable(std::shared_ptr<const EntryNames> names, std::vector<Placement> placements,
               DirectoryFingerprint fingerprint);

    std::shared_ptr<const EntryNames> names_;
    std::vector<Placement> placements_;
    DirectoryFingerprint fingerprint_;
};

}  // namespace format
}  // namespace xcr

#endif  // ARCHIVE_FORMAT_ENTRYTABLE_H
