#ifndef ARCHIVE_FORMAT_ENTRYNAMES_H
#define ARCHIVE_FORMAT_ENTRYNAMES_H

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace xcr {
inline namespace format {

// The stored names of an archive's listed entries, in directory order, back to back in
// one block: a few bytes an entry beside the names themselves, so that an archive of
// millions of entries stays small in memory. Fixed once built.
class EntryNames {
public:
    void reserve(std::size_t count);
    void add(std::string_view storedName);

    int count() const { return static_cast<int>(ends_.size()); }
    std::string_view storedName(int index) const;
    // The final component of the stored name: what follows the last "\" or ":".
    std::string_view displayName(int index) const;

private:
    std::size_t start(int index) const;

    std::string bytes_;
    std::vector<std::uint32_t> ends_;
    // Where the display name starts inside the stored name (names are at most 256 bytes).
    std::vector<std::uint16_t> displayStarts_;
};

}  // namespace format
}  // namespace xcr

#endif  // ARCHIVE_FORMAT_ENTRYNAMES_H
