// Select all and Extract into a folder typed into the real folder chooser.
#include <gtest/gtest.h>

#include <filesystem>

#include "tests/e2e/ArchiveImage.h"
#include "tests/e2e/Deadline.h"
#include "tests/e2e/EndToEndTest.h"
#include "tests/e2e/Layout.h"
#include "tests/e2e/Pixels.h"
#include "tests/e2e/ProgramUnderTest.h"

namespace xcr::e2e {
namespace {

using Extract = EndToEndTest;

constexpr const char* kChooserTitle = "^Select folder to extract files to$";

std::vector<std::string> filesIn(const std::string& folder) {
    std::vector<std::string> names;
    for (const auto& item : std::filesystem::directory_iterator(folder)) {
        names.push_back(item.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
}

// True once `folder` holds exactly `expected`, each file with its entry's bytes.
bool holdsExactly(const std::string& folder, const ArchiveImage& archive,
                  const std::vector<ArchiveImage::Entry>& expected) {
    std::vector<std::string> names;
    for (const auto& entry : expected) {
        names.push_back(entry.displayName);
    }
    std::sort(names.begin(), names.end());
    if (filesIn(folder) != names) {
        return false;
    }
    for (const auto& entry : expected) {
        if (test::readFileBytes(folder + "/" + entry.displayName) != archive.data(entry)) {
            return false;
        }
    }
    return true;
}

// The bar's inside is drawn in one colour unlike its empty look from end to end.
bool progressBarFull(const QImage& client) {
    const QRect bar = Layout::kProgressBar;
    const QRgb left = client.pixel(bar.left() + 3, bar.center().y());
    const QRgb right = client.pixel(bar.right() - 3, bar.center().y());
    return pixels::near(left, right, 24) && !pixels::grey(left, 24);
}

// The program with the demo archive open and an empty folder to extract into.
struct DemoOpened {
    DemoOpened() : archive(test::readFileBytes(program.archivePath())), out(program.file("out")) {
        std::filesystem::create_directory(out);
        program.openArchive(program.archivePath());
    }

    // Extract, into the folder typed into the folder chooser.
    void extract() {
        program.clickButton(2);
        program.answerDialog(kChooserTitle, out);
    }

    ProgramUnderTest program;
    const ArchiveImage archive;
    const std::string out;
};

TEST_F(Extract, SelectAllThenExtractWritesEveryEntryByteForByte) {
    DemoOpened demo;
    demo.program.parkMouse();
    ASSERT_FALSE(progressBarFull(demo.program.clientShot())) << "the bar is full before a job";

    demo.program.clickButton(4);  // Select all
    demo.extract();

    const auto entries = demo.archive.entries();
    ASSERT_EQ(entries.size(), 4u);
    EXPECT_TRUE(pollUntil(10000ms, [&] { return holdsExactly(demo.out, demo.archive, entries); }))
        << "extracted: " << ::testing::PrintToString(filesIn(demo.out));
    EXPECT_TRUE(demo.program.settlesOn([](const QImage& client) {
        return progressBarFull(client) ? Faults{} : Faults{"the bar does not stand at the end"};
    }));
}

TEST_F(Extract, OnlyTheEntryCheckedByHandIsWritten) {
    DemoOpened demo;
    demo.program.clickButton(4);  // Select all
    demo.program.clickButton(5);  // Deselect all
    // The check box of readme.txt.
    demo.program.clickClient({9, Layout::listRow(2).center().y()});
    demo.extract();

    const auto entries = demo.archive.entries();
    EXPECT_TRUE(
        pollUntil(10000ms, [&] { return holdsExactly(demo.out, demo.archive, {entries[2]}); }))
        << "extracted: " << ::testing::PrintToString(filesIn(demo.out));
}

}  // namespace
}  // namespace xcr::e2e
