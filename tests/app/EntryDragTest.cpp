#include "app/EntryDrag.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include "tests/support/FakeProgress.h"
#include "tests/support/XcrBuilder.h"

namespace xcr {
namespace {

TEST(EntryDragTest, DraggingACheckedEntryCarriesEveryCheckedOneElseOnlyItself) {
    test::TempDir dir;
    const std::string path = dir.file("a.xcr");
    test::XcrBuilder().add("a\\w", "f").add("b\\w", "s").add("1", "1").add("2", "2").writeTo(path);
    ArchiveSession session;
    session.open(path);
    for (const int checked : {0, 1, 3}) {
        session.marks->set(checked, true);
    }
    test::FakeProgress progress;
    std::string folder;
    {
        EntryDrag drag(session, progress);
        // The dragged entry and the files carried, by name and content.
        for (const auto& [row, carried] : std::vector<std::pair<int, std::string>>{
                 {2, "1=1 "}, {0, "w=s 2=2 "}, {3, "w=s 2=2 "}}) {
            std::string found;
            for (const std::string& file : drag.extract(row)) {
                const auto bytes = test::readFileBytes(file);
                folder = file.substr(0, file.rfind('/'));
                found += file.substr(folder.size() + 1) + "=" +
                         std::string(bytes.begin(), bytes.end()) + " ";
            }
            EXPECT_EQ(found, carried) << row;
        }
        EXPECT_EQ(progress.positions(), (std::vector<int>{2, 0, 1, 3, 0, 1, 3}));
    }
    struct stat info {};
    EXPECT_NE(::stat(folder.c_str(), &info), 0) << "the drag's folder outlives the run";
}

}  // namespace
}  // namespace xcr
