#ifndef TESTS_E2E_ARCHIVEIMAGE_H
#define TESTS_E2E_ARCHIVEIMAGE_H

#include <cstdint>
#include <string>
#include <vector>

#include "tests/support/XcrBuilder.h"

namespace xcr::e2e {

// The bytes of an archive, read by the tests on their own terms so that what the program
// writes is compared with an expectation worked out apart from the program's code.
class ArchiveImage {
public:
    struct Entry {
        std::string storedName;
        std::string displayName;  // after the last '\' or ':'
        std::int32_t offset = 0;
        std::int32_t size = 0;
    };

    explicit ArchiveImage(test::Bytes bytes);

    const test::Bytes& bytes() const { return bytes_; }
    // The listed entries: every directory record but the last.
    std::vector<Entry> entries() const;
    test::Bytes data(const Entry& entry) const;
    // The archive as a save must leave it after entry `index` was replaced by
    // `replacement`: new size and total, later entries moved by the size change, every
    // entry's data written at its new place, the file never shortened.
    ArchiveImage savedWithReplacement(int index, const test::Bytes& replacement) const;

private:
    test::Bytes bytes_;
};

}  // namespace xcr::e2e

#endif  // TESTS_E2E_ARCHIVEIMAGE_H
