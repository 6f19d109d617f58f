#include <gtest/gtest.h>
#include <sys/stat.h>

#include <chrono>
#include <thread>

#include "app/TForm1.h"
#include "tests/app/FakeServices.h"
#include "tests/support/ToolProcess.h"
#include "tests/support/XcrBuilder.h"

namespace xcr {
namespace {

using test::XcrBuilder;

bool exists(const std::string& path) {
    struct stat info {};
    return ::lstat(path.c_str(), &info) == 0;
}

// What the user sees of an opening: the title, the list and the messages, with the
// temporary folder's name left out.
std::string seenOn(const TForm1& form, const test::FakeServices& fakes, const std::string& dir) {
    std::string seen = form.windowTitle().toStdString();
    for (int i = 0; i < form.CheckListBox1->count(); ++i) {
        seen += " | " + form.CheckListBox1->itemName(i);
    }
    for (const auto* texts : {&fakes.messages->texts, &fakes.messages->notices}) {
        for (const std::string& text : *texts) {
            seen += " | " + text;
        }
    }
    for (auto at = seen.find(dir); at != std::string::npos; at = seen.find(dir)) {
        seen.replace(at, dir.size(), "DIR");
    }
    return seen;
}

// An archive handed over at start opens as one confirmed in Open XCR: the same title,
// list and failure message.
TEST(FormStartTest, AnArchiveHandedOverOpensAsIfConfirmedInOpenXcr) {
    // Whether there is an archive, the journal beside it (none when empty), and the start
    // of what the user sees.
    const std::vector<std::tuple<bool, std::string, std::string>> cases = {
        {true, "", "Pelloran Plus 3 - a.xcr | hills.bmp | chime.wav"},
        {false, "", "Pelloran Plus 3 | Cannot open file DIR/a.xcr: No such file or directory"},
        {true, "these are notes, not a journal",
         "Pelloran Plus 3 - a.xcr | hills.bmp | chime.wav | The file DIR/a.xcr-journal lies"},
    };
    for (const auto& [archive, journal, start] : cases) {
        std::vector<std::string> seen;
        for (const bool handedOver : {false, true}) {
            test::TempDir dir;
            if (archive) {
                XcrBuilder()
                    .add("art\\hills.bmp", "BM")
                    .add("chime.wav", "RIFF")
                    .writeTo(dir.file("a.xcr"));
            }
            if (!journal.empty()) {
                test::writeFileBytes(dir.file("a.xcr-journal"), test::bytesOf(journal));
            }
            test::FakeServices fakes;
            TForm1 form(fakes.take());
            form.show();
            if (handedOver) {
                form.openConfirmed(dir.file("a.xcr"));
            } else {
                fakes.OpenDialog1->replies.push_back(dir.file("a.xcr"));
                form.OpenXCR1->trigger();
            }
            seen.push_back(seenOn(form, fakes, dir.path()));
        }
        EXPECT_EQ(seen[1], seen[0]);
        EXPECT_EQ(seen[1].substr(0, start.size()), start);
    }
}

// Opening an archive discards the journal that a save left before it changed a byte:
// its going shows that the program opened the archive it was given.
TEST(FormStartTest, TheProgramOpensTheArchiveItIsGivenOffscreen) {
    test::TempDir dir;
    XcrBuilder().add("one", "1").writeTo(dir.file("a.xcr"));
    test::writeFileBytes(dir.file("a.xcr-journal"), test::Bytes(512, 0));
    test::ToolProcess program({XCR_PELLORAN, "a.xcr"}, dir.path());
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    while (exists(dir.file("a.xcr-journal")) && program.running() &&
           std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    EXPECT_TRUE(program.running()) << program.finish().err;
    EXPECT_FALSE(exists(dir.file("a.xcr-journal")));
}

}  // namespace
}  // namespace xcr
