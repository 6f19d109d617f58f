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

TEST_F(Extract, SelectAllThenExtractWritesEveryEntryByteForByte) {
    ProgramUnderTest program;
    const ArchiveImage archive(test::readFileBytes(program.archivePath()));
    const std::string out = program.file("out");
    std::filesystem::create_directory(out);
    program.openArchive(program.archivePath());
    program.parkMouse();
    ASSERT_FALSE(progressBarFull(program.clientShot())) << "the bar is full before a job";

    program.clickButton(4);  // Select all
    program.clickButton(2);  // Extract
    program.answerDialog(kChooserTitle, out);

    const auto entries = archive.entries();
    ASSERT_EQ(entries.size(), 4u);
    EXPECT_TRUE(pollUntil(10000ms, [&] { return holdsExactly(out, archive, entries); }))
        << "extracted: " << ::testing::PrintToString(filesIn(out));
    program.parkMouse();
    EXPECT_TRUE(program.waitForClient(5000ms, progressBarFull))
        << "the progress bar does not stand at the last entry; " << program.lastShotPath();
}

TEST_F(Extract, OnlyTheEntryCheckedByHandIsWritten) {
    ProgramUnderTest program;
    const ArchiveImage archive(test::readFileBytes(program.archivePath()));
    const std::string out = program.file("out");
    std::filesystem::create_directory(out);
    program.openArchive(program.archivePath());

    program.clickButton(4);                    // Select all
    program.clickButton(5);                    // Deselect all
    program.clickClient({9, 1 + 13 * 2 + 6});  // the check box of readme.txt
    program.clickButton(2);
    program.answerDialog(kChooserTitle, out);

    const auto entries = archive.entries();
    EXPECT_TRUE(pollUntil(10000ms, [&] { return holdsExactly(out, archive, {entries[2]}); }))
        << "extracted: " << ::testing::PrintToString(filesIn(out));
}

}  // namespace
}  // namespace xcr::e2e
