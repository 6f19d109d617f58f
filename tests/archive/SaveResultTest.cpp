#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <functional>
#include <map>
#include <random>

#include "archive/format/XcrLayout.h"
#include "tests/archive/SaveFixture.h"

namespace xcr {
namespace {

using test::Bytes;

// Entry i's bytes in the file before the save.
Bytes oldBytes(const Bytes& old, const EntryTable& table, int i) {
    const auto p = table.placement(i);
    return p.size == 0 ? Bytes() : Bytes(old.begin() + p.offset, old.begin() + p.offset + p.size);
}

// The save as first described: every listed entry rewritten in directory order from its
// replacement or its old bytes, after the total size field and every record. Gives the
// file and how many times it beeps.
std::pair<Bytes, int> fullRewrite(const Bytes& old, const EntryTable& table,
                                  const std::map<int, Bytes>& replaced) {
    Bytes file = old;
    const auto put = [&](std::int64_t at, const unsigned char* bytes, std::size_t size) {
        if (size == 0) {
            return;
        }
        const auto end = static_cast<std::size_t>(at) + size;
        file.resize(std::max(file.size(), end));
        std::copy(bytes, bytes + size, file.begin() + at);
    };
    const int n = table.count();
    std::vector<std::int64_t> offsets(static_cast<std::size_t>(n));
    std::vector<std::int64_t> sizes(static_cast<std::size_t>(n));
    for (int i = 0; i < n; ++i) {
        offsets[static_cast<std::size_t>(i)] = table.placement(i).offset;
        sizes[static_cast<std::size_t>(i)] = table.placement(i).size;
    }
    std::int64_t total = static_cast<std::int64_t>(old.size());
    for (const auto& [index, bytes] : replaced) {
        const std::int64_t change =
            static_cast<std::int64_t>(bytes.size()) - sizes[static_cast<std::size_t>(index)];
        sizes[static_cast<std::size_t>(index)] = static_cast<std::int64_t>(bytes.size());
        total += change;
        for (int j = index + 1; j < n; ++j) {
            offsets[static_cast<std::size_t>(j)] += change;
        }
    }
    unsigned char field[8];
    layout::writeNumber(field, static_cast<std::int32_t>(total));
    put(24, field, 4);
    for (int i = 0; i < n; ++i) {
        layout::writeNumber(field, static_cast<std::int32_t>(offsets[static_cast<std::size_t>(i)]));
        layout::writeNumber(field + 4,
                            static_cast<std::int32_t>(sizes[static_cast<std::size_t>(i)]));
        put(layout::offsetPos(i), field, 8);
    }
    int beeps = 0;
    for (int i = 0; i < n; ++i) {
        const std::int64_t at = offsets[static_cast<std::size_t>(i)];
        beeps += at == static_cast<std::int64_t>(file.size()) ? 1 : 0;
        const auto found = replaced.find(i);
        const Bytes data = found != replaced.end() ? found->second : oldBytes(old, table, i);
        put(at, data.data(), data.size());
    }
    return {file, beeps};
}

// A random archive: up to eight entries of random sizes (some empty), their data laid
// out after the directory in a random order with random gaps, sometimes an unlisted
// record with data at the end; now and then a file cut inside its directory.
Bytes randomArchive(std::mt19937& random) {
    const int n = std::uniform_int_distribution<int>(1, 8)(random);
    const bool trailing = random() % 2 == 0;
    const int records = n + 1;
    Bytes file = test::patternBytes(static_cast<std::size_t>(layout::directoryEnd(n)), random());
    test::putNumber(file, 20, records);
    std::vector<int> order(static_cast<std::size_t>(n));
    for (int i = 0; i < n; ++i) {
        order[static_cast<std::size_t>(i)] = i;
        const std::string name = "e" + std::to_string(i);
        std::fill_n(file.begin() + layout::recordPos(i), layout::kNameFieldSize, 0);
        std::copy(name.begin(), name.end(), file.begin() + layout::recordPos(i));
    }
    if (random() % 3 != 0) {
        std::shuffle(order.begin(), order.end(), random);
    }
    for (const int i : order) {
        file.resize(file.size() + random() % 3 * 7);  // a gap, or none
        const std::size_t size = random() % 4 == 0 ? 0 : random() % 200;
        test::putNumber(file, static_cast<std::size_t>(layout::offsetPos(i)),
                        static_cast<std::int32_t>(file.size()));
        test::putNumber(file, static_cast<std::size_t>(layout::offsetPos(i)) + 4,
                        static_cast<std::int32_t>(size));
        const Bytes data = test::patternBytes(size, random());
        file.insert(file.end(), data.begin(), data.end());
    }
    if (random() % 8 == 0) {
        // Cut inside its directory: only empty entries can be read, their records partly
        // or wholly missing.
        for (int i = 0; i < n; ++i) {
            test::putNumber(file, static_cast<std::size_t>(layout::offsetPos(i)) + 4, 0);
        }
        file.resize(static_cast<std::size_t>(layout::kHeaderSize) +
                    random() %
                        static_cast<std::size_t>(layout::directoryEnd(n) - layout::kHeaderSize));
        return file;
    }
    if (trailing) {
        const Bytes hidden = test::patternBytes(random() % 50, random());
        test::putNumber(file, static_cast<std::size_t>(layout::offsetPos(n)),
                        static_cast<std::int32_t>(file.size()));
        test::putNumber(file, static_cast<std::size_t>(layout::offsetPos(n)) + 4,
                        static_cast<std::int32_t>(hidden.size()));
        file.insert(file.end(), hidden.begin(), hidden.end());
    }
    return file;
}

// Whether a rewritten file still holds everything: each entry's data where its record
// says, and every byte of the header and directory that no save writes (the names, the
// unlisted record).
bool keepsEverything(const Bytes& file, const Bytes& old, const EntryTable& before,
                     const std::map<int, Bytes>& replaced) {
    const int n = before.count();
    const auto end =
        std::min<std::int64_t>(layout::directoryEnd(n), static_cast<std::int64_t>(old.size()));
    for (std::int64_t at = 0; at < end; ++at) {
        const std::int64_t inRecord = (at - layout::kHeaderSize) % layout::kRecordSize;
        const bool written =
            (at >= 24 && at < 28) ||
            (at >= layout::kHeaderSize && at < layout::recordPos(n) &&
             inRecord >= layout::kOffsetField && inRecord < layout::kSizeField + 4);
        if (!written && file[static_cast<std::size_t>(at)] != old[static_cast<std::size_t>(at)]) {
            return false;
        }
    }
    for (int i = 0; i < n; ++i) {
        const auto at = static_cast<std::size_t>(
            test::numberAt(file, static_cast<std::size_t>(layout::offsetPos(i))));
        const auto size = static_cast<std::size_t>(
            test::numberAt(file, static_cast<std::size_t>(layout::offsetPos(i)) + 4));
        const auto found = replaced.find(i);
        const Bytes expected = found != replaced.end() ? found->second : oldBytes(old, before, i);
        if (at + size > file.size() ||
            !std::equal(expected.begin(), expected.end(),
                        file.begin() + static_cast<std::ptrdiff_t>(at))) {
            return false;
        }
    }
    return true;
}

// Random replacements (grown, shrunk, same size, emptied; the first, the last, several).
std::map<int, Bytes> replaceAtRandom(std::mt19937& random, const EntryTable& entries,
                                     const std::function<void(int, const Bytes&)>& replace) {
    std::map<int, Bytes> replaced;
    for (int i = 0; i < entries.count(); ++i) {
        if (random() % 3 != 0) {
            continue;
        }
        const std::int64_t old = entries.placement(i).size;
        const std::int64_t sizes[] = {old, old + 1 + static_cast<std::int64_t>(random() % 60),
                                      old / 2, 0, old + 300};
        replaced[i] = test::patternBytes(static_cast<std::size_t>(sizes[random() % 5]), random());
        replace(i, replaced[i]);
    }
    return replaced;
}

class SaveResultTest : public test::SaveFixture {
protected:
    // Undoes saves until none is left: each undo must give back an archive the saves went
    // through, older every time, down to the first.
    void expectUndoneOneByOne(const std::vector<Bytes>& states) {
        std::size_t at = states.size() - 1;
        JobOutcome undone;
        for (undone = undoLastSave(); undone.ok(); undone = undoLastSave()) {
            const Bytes now = test::readFileBytes(archivePath());
            std::size_t back = at;
            while (back > 0 && states[--back] != now) {
            }
            ASSERT_LT(back, at) << "an undo gave no earlier archive";
            ASSERT_EQ(now, states[back]);
            at = back;
            expectTableMatchesFile();
        }
        EXPECT_EQ(at, 0u) << undone.failure;
    }
};

// Writing only what changes must give exactly the bytes and beeps of the full rewrite,
// for random archives and random replacements; where it refuses, the full rewrite would
// have destroyed an entry, and the archive is left as it was. A second save follows, and
// undoing the saves one by one gives back every earlier archive byte for byte.
TEST_F(SaveResultTest, OnlyWritingWhatChangesGivesTheFullRewritesBytesAndUndoGivesThemBack) {
    std::mt19937 random(20261209);
    int saved = 0;
    int refused = 0;
    const auto record = [this](int index, const Bytes& data) { replace(index, data); };
    for (int round = 0; round < 300; ++round) {
        SCOPED_TRACE("round " + std::to_string(round));
        std::filesystem::remove_all(undo.folder);
        openArchive(randomArchive(random));
        const EntryTable before = entries;
        const std::map<int, Bytes> replaced = replaceAtRandom(random, entries, record);
        const JobOutcome outcome = save();
        const auto [expected, beeps] = fullRewrite(original, before, replaced);
        if (!outcome.ok()) {
            ++refused;
            EXPECT_EQ(outcome.failure.rfind("Save refused: entr", 0), 0u) << outcome.failure;
            EXPECT_FALSE(keepsEverything(expected, original, before, replaced)) << outcome.failure;
            expectUnchanged();
            continue;
        }
        ++saved;
        ASSERT_EQ(test::readFileBytes(archivePath()), expected);
        EXPECT_EQ(progress->beeps(), beeps);
        EXPECT_EQ(outcome.warning, "");
        expectTableMatchesFile();
        std::vector<Bytes> states = {original, expected};
        replacements.clear();
        replaceAtRandom(random, entries, record);
        if (save().ok()) {
            states.push_back(test::readFileBytes(archivePath()));
        }
        expectUndoneOneByOne(states);
    }
    EXPECT_GT(saved, 150);
    EXPECT_GT(refused, 0);
}

}  // namespace
}  // namespace xcr
