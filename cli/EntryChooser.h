#ifndef CLI_ENTRYCHOOSER_H
#define CLI_ENTRYCHOOSER_H

#include <optional>
#include <string>
#include <vector>

#include "archive/format/EntryTable.h"

namespace xcr {

// Finds the entries that command-line arguments name. A name is compared with an entry's
// display name both as its bytes and as the list shows it, so that a name can be typed
// as it was listed.
class EntryChooser {
public:
    explicit EntryChooser(const EntryTable& entries) : entries_(entries) {}

    // The entry that `text` gives as an index (decimal digits only), or nothing when it is
    // not written as one. Throws xcr::Failure for an index outside the list.
    std::optional<int> index(const std::string& text) const;
    // The entries whose display name is `name`, in directory order.
    std::vector<int> named(const std::string& name) const;
    // Every entry that the selectors choose, in directory order and each once; every
    // entry when there are none. A selector is an index, a display name or a shell
    // pattern matched against display names; one that chooses nothing throws.
    std::vector<int> choose(const std::vector<std::string>& selectors) const;

private:
    const EntryTable& entries_;
};

}  // namespace xcr

#endif  // CLI_ENTRYCHOOSER_H
