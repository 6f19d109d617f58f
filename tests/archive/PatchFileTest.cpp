#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <functional>

#include "archive/format/Checksum.h"
#include "archive/os/Failure.h"
#include "archive/patch/PatchFile.h"
#include "archive/patch/PatchFormat.h"
#include "tests/support/XcrBuilder.h"

namespace xcr::test {
namespace {

// A patch of two entries, as a writer lays it out.
Bytes twoEntryPatch() {
    const Bytes first = bytesOf("new bitmap"), second = bytesOf("x");
    std::vector<PatchEntry> entries = {
        {1, "art\\a.bmp", 4, 77, static_cast<std::int64_t>(first.size()),
         bytesChecksum(first.data(), first.size()), 0},
        {5, "b.txt", 0, 3, static_cast<std::int64_t>(second.size()),
         bytesChecksum(second.data(), second.size()), 0}};
    Bytes patch = encodeHead(entries);
    patch.insert(patch.end(), first.begin(), first.end());
    patch.insert(patch.end(), second.begin(), second.end());
    return patch;
}

// The checksum a forged header carries, so that a bound is what refuses it.
void reseal(Bytes& patch) {
    const std::size_t table = static_cast<std::size_t>(numberAt(patch, 16));
    Checksum sum;
    sum.add(patch.data(), patchformat::kChecksumPos);
    sum.add(patch.data() + patchformat::kHeaderSize,
            std::min(table, patch.size() - patchformat::kHeaderSize));
    const std::uint64_t value = sum.value();
    std::memcpy(patch.data() + patchformat::kChecksumPos, &value, sizeof value);
}

// Empty when the patch reads whole, else the failure's text.
std::string readFailure(const TempDir& dir, const Bytes& patch) {
    writeFileBytes(dir.file("p"), patch);
    try {
        PatchFile file = PatchFile::open(dir.file("p"));
        file.verify();
        return {};
    } catch (const Failure& failure) {
        return failure.what();
    }
}

TEST(PatchFileTest, ReadsBackWhatWasWrittenAndRefusesEveryCutAndEveryFlippedBit) {
    TempDir dir;
    const Bytes patch = twoEntryPatch();
    ASSERT_EQ(readFailure(dir, patch), "");
    const PatchFile file = PatchFile::open(dir.file("p"));
    ASSERT_EQ(file.entries().size(), 2u);
    EXPECT_EQ(file.entries()[0].storedName, "art\\a.bmp");
    EXPECT_EQ(file.entries()[1].dataPos, static_cast<std::int64_t>(patch.size()) - 1);

    for (std::size_t length = 0; length < patch.size(); ++length) {
        const Bytes cut(patch.begin(), patch.begin() + static_cast<std::ptrdiff_t>(length));
        EXPECT_EQ(readFailure(dir, cut).rfind("Cannot read patch " + dir.file("p") + ": ", 0), 0u)
            << "cut to " << length;
    }
    for (std::size_t bit = 0; bit < patch.size() * 8; ++bit) {
        Bytes flipped = patch;
        flipped[bit / 8] ^= static_cast<unsigned char>(1u << (bit % 8));
        EXPECT_NE(readFailure(dir, flipped), "") << "bit " << bit;
    }
    Bytes longer = patch;
    longer.push_back(0);
    EXPECT_NE(readFailure(dir, longer).find("1 bytes after its last entry"), std::string::npos);
}

// Headers and tables whose checksum is right but whose numbers are not: each is refused
// by a bound before anything is allocated or read for it.
TEST(PatchFileTest, ForgedNumbersAreRefusedByTheirBounds) {
    TempDir dir;
    const std::vector<std::pair<std::string, std::function<void(Bytes&)>>> cases = {
        {"its header is damaged", [](Bytes& p) { putNumber(p, 12, 0x7FFFFFFF); }},
        {"its header is damaged", [](Bytes& p) { putNumber(p, 16, 0x7FFFFFF0); }},
        {"its header is damaged", [](Bytes& p) { putNumber(p, 20, 1); }},
        {"version 2", [](Bytes& p) { putNumber(p, 8, 2); }},
        {"not a mod patch", [](Bytes& p) { p[0] = 'Y'; }},
        // The second entry's index below the first's.
        {"its table is damaged", [](Bytes& p) { putNumber(p, 32 + 30 + 9, 0); }},
        // A size past 2 GiB, and one past the end of the file.
        {"its table is damaged", [](Bytes& p) { putNumber(p, 32 + 16, -1); }},
        {"cut short", [](Bytes& p) { putNumber(p, 32 + 16, 1 << 30); }},
        // A zero byte in a stored name, and a name running past the table.
        {"its table is damaged", [](Bytes& p) { p[32 + 30] = 0; }},
        {"its table is damaged", [](Bytes& p) { p[32 + 28] = 200; }},
    };
    for (const auto& [expected, forge] : cases) {
        Bytes patch = twoEntryPatch();
        forge(patch);
        reseal(patch);
        const std::string failure = readFailure(dir, patch);
        EXPECT_NE(failure.find(expected), std::string::npos) << expected << ": " << failure;
    }
}

}  // namespace
}  // namespace xcr::test
