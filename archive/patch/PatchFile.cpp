#include "archive/patch/PatchFile.h"

#include "archive/os/Failure.h"
#include "archive/patch/PatchStreams.h"

namespace xcr {
inline namespace patch {

PatchFile PatchFile::open(const std::string& path) {
    File file = File::open(path, File::Access::Read, "patch");
    PatchFile patch(std::move(file), path);
    try {
        if (patch.file_.madeUpBySystem()) {
            throw Failure("not a regular file (the system makes it up as it is read)");
        }
        const std::int64_t length = patch.file_.length();
        unsigned char header[patchformat::kHeaderSize] = {};
        const std::size_t got = patch.file_.readAt(0, header, sizeof header);
        const PatchHeader decoded =
            decodeHeader(header, got < sizeof header ? static_cast<std::int64_t>(got) : length);
        std::vector<unsigned char> table(decoded.tableSize);
        if (patch.file_.readAt(sizeof header, table.data(), table.size()) != table.size()) {
            throw Failure("it is cut short inside its table");
        }
        patch.entries_ = decodeTable(decoded, header, table.data(), length);
    } catch (const Failure& failure) {
        throw Failure(patch.failureText(failure.what()));
    }
    return patch;
}

std::string PatchFile::failureText(const std::string& reason) const {
    return "Cannot read patch " + path_ + ": " + reason;
}

std::int64_t PatchFile::dataSize() const {
    std::int64_t total = 0;
    for (const PatchEntry& entry : entries_) {
        total += entry.size;
    }
    return total;
}

void PatchFile::verify() {
    for (std::size_t i = 0; i < entries_.size(); ++i) {
        stream(i, nullptr);
    }
}

void PatchFile::copyEntry(std::size_t which, File& target) {
    stream(which, &target);
}

void PatchFile::stream(std::size_t which, File* target) {
    const PatchEntry& entry = entries_.at(which);
    std::int64_t written = 0;
    std::uint64_t sum = 0;
    try {
        sum = streamRange(file_, entry.dataPos, entry.size,
                          [&](const unsigned char* bytes, std::size_t size) {
                              if (target != nullptr) {
                                  target->writeAt(written, bytes, size);
                              }
                              written += static_cast<std::int64_t>(size);
                          });
    } catch (const Failure& failure) {
        // A target that could not be written names itself; the patch names the rest.
        if (written < entry.size && std::string(failure.what()) == kStreamReadError) {
            throw Failure(failureText("it was cut short while it was read"));
        }
        throw;
    }
    if (sum != entry.checksum) {
        throw Failure(failureText("the bytes of entry " + std::to_string(entry.index) +
                                  " are damaged (their checksum does not match)"));
    }
}

}  // namespace patch
}  // namespace xcr
