#include "archive/FolderReplacements.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include "archive/ArchiveOpening.h"
#include "tests/support/XcrBuilder.h"

namespace xcr {
namespace {

using test::bytesOf;

// What lies in the folder under a name relative to it.
enum class Kind { File, Folder, Fifo, DanglingLink };
struct Item {
    std::string name;
    Kind kind = Kind::File;
    std::string text;
};

void put(const std::string& folder, const Item& item) {
    std::string path = folder;
    for (std::size_t at = 0, slash; (slash = item.name.find('/', at)) != std::string::npos;
         at = slash + 1) {
        path = folder + "/" + item.name.substr(0, slash);
        ::mkdir(path.c_str(), 0700);
    }
    path = folder + "/" + item.name;
    switch (item.kind) {
        case Kind::File:
            test::writeFileBytes(path, bytesOf(item.text));
            break;
        case Kind::Folder:
            ASSERT_EQ(::mkdir(path.c_str(), 0700), 0);
            break;
        case Kind::Fifo:
            ASSERT_EQ(::mkfifo(path.c_str(), 0600), 0);
            break;
        case Kind::DanglingLink:
            ASSERT_EQ(::symlink("nowhere", path.c_str()), 0);
            break;
    }
}

TEST(FolderReplacementsTest, MatchesFilesByNameOrByFolderPartsAndSaysWhatItSkipped) {
    // The archive's entries hold "old" + their index: "old0", "old1", ...
    struct Case {
        const char* what;
        std::vector<std::string> stored;
        std::vector<Item> folder;
        std::vector<std::pair<int, std::string>> recorded;  // index, path in the folder
        int unchanged = 0;
        std::vector<std::string> notRegular, ambiguous, unmatched;
    };
    const std::vector<Case> cases = {
        {"flat",
         {"a\\one.txt", "two.txt"},
         {{"one.txt", Kind::File, "new"}, {"two.txt", Kind::File, "2"}},
         {{0, "one.txt"}, {1, "two.txt"}}},
        {"folder parts, and the flat file of a stored name with parts",
         {"art:x\\one.txt", "..\\up\\two.txt"},
         {{"art/x/one.txt", Kind::File, "n"},
          {"__/up/two.txt", Kind::File, "m"},
          {"one.txt", Kind::File, "flat"}},
         {{0, "art/x/one.txt"}, {1, "__/up/two.txt"}}},
        {"unchanged bytes, and a longer file starting with them",
         {"one", "two"},
         {{"one", Kind::File, "old0"}, {"two", Kind::File, "old1+"}},
         {{1, "two"}},
         1},
        {"a shared name is taken only under folder parts",
         {"a\\w.bmp", "b\\w.bmp", "c\\w.bmp"},
         {{"w.bmp", Kind::File, "flat"}, {"b/w.bmp", Kind::File, "b"}},
         {{1, "b/w.bmp"}},
         0,
         {},
         {"w.bmp"}},
        {"not regular files",
         {"dir", "fifo", "link", "p\\f"},
         {{"dir", Kind::Folder},
          {"fifo", Kind::Fifo},
          {"link", Kind::DanglingLink},
          {"p/f", Kind::Folder}},
         {},
         0,
         {"dir", "fifo", "link", "p/f"}},
        {"no match",
         {"one", "", ".."},
         {{"zzz", Kind::File, "z"}, {"aaa", Kind::File, "a"}, {"sub", Kind::Folder}},
         {},
         0,
         {},
         {},
         {"aaa", "zzz"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        test::TempDir dir;
        test::XcrBuilder builder;
        for (std::size_t i = 0; i < c.stored.size(); ++i) {
            builder.add(c.stored[i], "old" + std::to_string(i));
        }
        builder.writeTo(dir.file("a.xcr"));
        const EntryTable entries = openArchive(dir.file("a.xcr")).entries;
        const std::string folder = dir.file("edited");
        ASSERT_EQ(::mkdir(folder.c_str(), 0700), 0);
        for (const Item& item : c.folder) {
            put(folder, item);
        }
        File archive = File::open(dir.file("a.xcr"), File::Access::Read);

        const FolderReplacements found = FolderReplacements::match(folder, archive, entries);
        std::vector<std::pair<int, std::string>> recorded;
        for (const auto& match : found.recorded) {
            recorded.emplace_back(match.replacement.index,
                                  match.replacement.path.substr(folder.size() + 1));
            EXPECT_EQ(match.size, test::readFileBytes(match.replacement.path).size());
        }
        EXPECT_EQ(recorded, c.recorded);
        EXPECT_EQ(found.unchanged, c.unchanged);
        EXPECT_EQ(found.notRegular, c.notRegular);
        EXPECT_EQ(found.ambiguous, c.ambiguous);
        EXPECT_EQ(found.unmatched, c.unmatched);
    }
}

TEST(FolderReplacementsTest, SummaryCountsAndNamesTheFirstFewUnmatchedFiles) {
    FolderReplacements found;
    found.folder = "edited";
    found.recorded.resize(1);
    found.unchanged = 2;
    found.ambiguous = {"w.bmp"};
    found.unmatched = {"a", "b", "c", "d", "e", "f", "g"};
    EXPECT_EQ(found.summary([](std::string_view name) { return "<" + std::string(name) + ">"; },
                            "Recorded"),
              "Recorded 1 replacement from edited.\n"
              "Skipped 2 files that already hold what their entries hold.\n"
              "Skipped, names that several entries share: <w.bmp> (files under their stored "
              "folders tell them apart).\n"
              "Matching no entry: <a>, <b>, <c>, <d>, <e> and 2 more.");
}

}  // namespace
}  // namespace xcr
