#include "app/EntryDrag.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QWidget>
#include <filesystem>

#include "platform/FileUriList.h"
#include "tests/app/FakeServices.h"
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
    test::FakeFileDrag desktop;
    QWidget source;
    std::string folder;
    {
        EntryDrag drag(session, desktop);
        // The dragged entry and the files carried, by name and content.
        for (const auto& [row, carried] : std::vector<std::pair<int, std::string>>{
                 {2, "1=1 "}, {0, "w=s 2=2 "}, {3, "w=s 2=2 "}}) {
            ASSERT_TRUE(runExtraction(drag.prepare(row), progress).ok());
            drag.handOver(source);
            std::string found;
            for (const std::string& uri : urisIn(desktop.uriLists.back())) {
                const std::string file = localPathOf(uri).value_or("");
                const auto bytes = test::readFileBytes(file);
                folder = file.substr(0, file.rfind('/', file.rfind('/') - 1));
                found += file.substr(file.rfind('/') + 1) + "=" +
                         std::string(bytes.begin(), bytes.end()) + " ";
            }
            EXPECT_EQ(found, carried) << row;
        }
        EXPECT_EQ(progress.positions(), (std::vector<int>{2, 0, 1, 3, 0, 1, 3}));
    }
    EXPECT_FALSE(std::filesystem::exists(folder)) << "the drag's folder outlives the run";
}

// A run killed before removing its drag folder leaves it behind: the next start removes
// it, never one that a running copy holds.
TEST(EntryDragTest, AStartSweepsTheDragFoldersOfEndedRunsOnly) {
    test::TempDir tmp;
    const std::string ended = tmp.file("pelloran-drag-Ab12Cd");
    const std::string held = tmp.file("pelloran-drag-Live01");
    for (const std::string& folder : {ended, held}) {
        ASSERT_EQ(::mkdir(folder.c_str(), 0700), 0);
        test::writeFileBytes(folder + "/caf\xe9.txt", test::bytesOf("x"));
    }
    const int lock = ::open(held.c_str(), O_RDONLY | O_DIRECTORY);
    ASSERT_EQ(::flock(lock, LOCK_EX | LOCK_NB), 0);
    {
        const ArchiveSession session;
        test::FakeFileDrag desktop;
        const EntryDrag drag(session, desktop, tmp.path());
    }
    EXPECT_FALSE(std::filesystem::exists(ended));
    EXPECT_TRUE(std::filesystem::exists(held + "/caf\xe9.txt"));
    ::close(lock);
}

}  // namespace
}  // namespace xcr
