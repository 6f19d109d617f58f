// Open an entry in the desktop's default application through the list's menu, let that
// application save it, and Save XCR: the archive holds the edit.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <thread>

#include "tests/e2e/ArchiveImage.h"
#include "tests/e2e/Deadline.h"
#include "tests/e2e/Desktop.h"
#include "tests/e2e/EndToEndTest.h"
#include "tests/e2e/Layout.h"
#include "tests/e2e/ProgramUnderTest.h"

namespace xcr::e2e {
namespace {

using EditEntry = EndToEndTest;

void writeText(const std::string& path, const std::string& text) {
    test::writeFileBytes(path, test::Bytes(text.begin(), text.end()));
}

// A desktop on which bitmaps open in an "editor" that saves a new file and renames it
// over the one it was given, as many editors save.
struct EditingDesktop {
    EditingDesktop() {
        const std::string editor = folder.file("editor.sh");
        writeText(editor, "#!/bin/sh\nprintf 'BM edited' > \"$1.new\" && mv \"$1.new\" \"$1\"\n");
        ::chmod(editor.c_str(), 0755);
        std::filesystem::create_directories(folder.file("data/applications"));
        writeText(folder.file("data/applications/test-editor.desktop"),
                  "[Desktop Entry]\nType=Application\nName=Test editor\nExec=" + editor +
                      " %f\nMimeType=image/bmp;image/x-ms-bmp;\n");
        writeText(folder.file("mimeapps.list"),
                  "[Default Applications]\nimage/bmp=test-editor.desktop\n"
                  "image/x-ms-bmp=test-editor.desktop\n");
    }
    std::map<std::string, std::string> environment() const {
        return {{"XDG_DATA_HOME", folder.file("data")}, {"XDG_CONFIG_HOME", folder.path()}};
    }
    test::TempDir folder;
};

TEST_F(EditEntry, AnEntrySavedInTheDefaultApplicationIsWrittenBySaveXcr) {
    const EditingDesktop desktop;
    ProgramUnderTest program(desktop.environment());
    constexpr int kHills = 0;
    const std::string copy = program.file("cache/pelloran/edits");

    program.openArchive(program.archivePath());
    program.clickEntry(kHills);
    program.clickClient(Layout::listRow(kHills).center(), 3);
    // The menu's first item: Open in default application.
    ASSERT_TRUE(pollUntil(5000ms, [&] { return Desktop::windows(program.pid(), ".*").size() > 1; }))
        << "no menu appeared";
    Desktop::key("Down");
    Desktop::key("Return");

    // The editor has saved once the copy holds its bytes; the watch records the edit half
    // a second after the copy last changed.
    const auto edited = [&] {
        for (const auto& item : std::filesystem::recursive_directory_iterator(copy)) {
            if (item.path().filename() == "hills.bmp" &&
                test::readFileBytes(item.path().string()) == test::bytesOf("BM edited")) {
                return true;
            }
        }
        return false;
    };
    ASSERT_TRUE(pollUntil(10000ms, edited)) << "the editor never saved the copy";
    std::this_thread::sleep_for(3000ms);
    program.chooseFileMenuItem(1);  // Save XCR

    const auto holdsTheEdit = [&] {
        const ArchiveImage after(test::readFileBytes(program.archivePath()));
        const auto& entry = after.entries()[kHills];
        const test::Bytes& bytes = after.bytes();
        return entry.size == 9 &&
               test::Bytes(bytes.begin() + entry.offset,
                           bytes.begin() + entry.offset + entry.size) == test::bytesOf("BM edited");
    };
    // Once the journal is gone the save has ended and the archive is whole.
    EXPECT_TRUE(pollUntil(10000ms, [&] {
        return !std::filesystem::exists(program.archivePath() + "-journal") && holdsTheEdit();
    })) << "the saved archive does not hold the edit";
    EXPECT_TRUE(program.running());
}

}  // namespace
}  // namespace xcr::e2e
