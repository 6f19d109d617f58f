#include "archive/jobs/FolderReplacements.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <map>

#include "archive/store/OpenedArchive.h"
#include "tests/support/XcrBuilder.h"

namespace xcr {
namespace {

// Puts `what` at `name` in `folder`, making the folders on the way: "/" a folder, "|" a
// fifo, "->" a dangling link, "->T" a link to T, "=>T" a hard link to T (T taken from the
// folder), anything else a file of that text.
void put(const std::string& folder, const std::string& name, const std::string& what) {
    const std::string path = folder + "/" + name;
    std::filesystem::create_directories(std::filesystem::path(path).parent_path());
    const std::string target = what.substr(std::min<std::size_t>(2, what.size()));
    const int made = what == "/"                ? ::mkdir(path.c_str(), 0700)
                     : what == "|"              ? ::mkfifo(path.c_str(), 0600)
                     : what == "->"             ? ::symlink("nowhere", path.c_str())
                     : what.rfind("->", 0) == 0 ? ::symlink(target.c_str(), path.c_str())
                     : what.rfind("=>", 0) == 0
                         ? ::link((folder + "/" + target).c_str(), path.c_str())
                         : (test::writeFileBytes(path, test::bytesOf(what)), 0);
    ASSERT_EQ(made, 0) << name;
}

// What a match found, in one line: the recorded entries with their files and sizes, then
// the summary of it all, in a folder named F.
std::string described(FolderReplacements found) {
    std::string text;
    for (const auto& [replacement, size] : found.recorded) {
        text += std::to_string(replacement.index) + ":" +
                replacement.path.substr(found.folder.size() + 1) + "(" + std::to_string(size) +
                ") ";
    }
    found.folder = "F";
    return text + found.summary([](std::string_view name) { return std::string(name); }, "+");
}

TEST(FolderReplacementsTest, MatchesFilesByNameOrByFolderPartsAndSaysWhatItSkipped) {
    // The stored names (entry i holds "old" and i), the folder's contents, what is found.
    const std::vector<
        std::tuple<std::vector<std::string>, std::map<std::string, std::string>, std::string>>
        cases = {
            // Flat: the display name straight in the folder, also for a name with parts.
            {{"a\\one.txt", "two.txt"},
             {{"one.txt", "new"}, {"two.txt", "2"}},
             "0:one.txt(3) 1:two.txt(1) + 2 replacements from F."},
            // Folder parts come first and are made safe as extract --paths makes them.
            {{"art:x\\one.txt", "..\\up\\two.txt"},
             {{"art/x/one.txt", "n"}, {"__/up/two.txt", "m"}, {"one.txt", "flat"}},
             "0:art/x/one.txt(1) 1:__/up/two.txt(1) + 2 replacements from F."},
            // Unchanged bytes are skipped; a file that only starts with them is not.
            {{"one", "two"},
             {{"one", "old0"}, {"two", "old1+"}},
             "1:two(5) + 1 replacement from F.\nSkipped 1 file that already holds what its entry "
             "holds."},
            // A shared display name is taken only under folder parts.
            {{"a\\w.bmp", "b\\w.bmp", "c\\w.bmp"},
             {{"w.bmp", "flat"}, {"b/w.bmp", "b"}},
             "1:b/w.bmp(1) + 1 replacement from F.\nSkipped, names that several entries share: "
             "w.bmp (files under their stored folders tell them apart)."},
            {{"dir", "fifo", "link", "p\\f"},
             {{"dir", "/"}, {"fifo", "|"}, {"link", "->"}, {"p/f", "/"}},
             "+ 0 replacements from F.\nSkipped 1 symbolic link: link.\nSkipped, not regular "
             "files: dir, fifo, p/f."},
            // A downloaded folder never brings in a file from elsewhere: a link named like an
            // entry, or on its way as a folder part, is never followed, whatever it leads to;
            // a hard link is the folder's own file.
            {{"id_rsa", "art\\hills.bmp", "env", "up", "kept"},
             {{"id_rsa", "->../secret"},
              {"art", "->.."},
              {"env", "->/proc/self/environ"},
              {"up", "->.."},
              {"kept", "=>../secret"}},
             "4:kept(6) + 1 replacement from F.\nSkipped 4 symbolic links: id_rsa, art/hills.bmp, "
             "env, up.\nMatching no entry: art."},
            // Names no file can have; files and not folders that no entry names, the first
            // five of them by name.
            {{"one", "", ".."},
             {{"z", "z"}, {"a", "a"}, {"b", ""}, {"c", ""}, {"d", ""}, {"e", ""}, {"sub", "/"}},
             "+ 0 replacements from F.\nMatching no entry: a, b, c, d, e and 1 more."},
        };
    for (const auto& [stored, contents, expected] : cases) {
        SCOPED_TRACE(expected);
        test::TempDir dir;
        test::XcrBuilder builder;
        for (std::size_t i = 0; i < stored.size(); ++i) {
            builder.add(stored[i], "old" + std::to_string(i));
        }
        builder.writeTo(dir.file("a.xcr"));
        const EntryTable entries = openArchive(dir.file("a.xcr")).entries;
        const std::string folder = dir.file("edited");
        ASSERT_EQ(::mkdir(folder.c_str(), 0700), 0);
        test::writeFileBytes(dir.file("secret"), test::bytesOf("secret"));
        for (const auto& [name, what] : contents) {
            put(folder, name, what);
        }
        HeldArchive archive = HeldArchive::open(dir.file("a.xcr"), HeldArchive::Access::Read);
        EXPECT_EQ(described(FolderReplacements::match(folder, archive, entries)), expected);
    }
}

}  // namespace
}  // namespace xcr
