// Replace an entry through the real Replace dialog and Save XCR.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>

#include "tests/e2e/ArchiveImage.h"
#include "tests/e2e/Deadline.h"
#include "tests/e2e/EndToEndTest.h"
#include "tests/e2e/ProgramUnderTest.h"

namespace xcr::e2e {
namespace {

using ReplaceAndSave = EndToEndTest;

bool stagingHoldsNoFiles(const std::string& folder) {
    for (const auto& item : std::filesystem::directory_iterator(folder)) {
        if (!item.is_directory()) {
            return false;
        }
    }
    return true;
}

TEST_F(ReplaceAndSave, ArchiveIsRewrittenWithTheReplacementAndMovedEntries) {
    ProgramUnderTest program;
    const ArchiveImage before(test::readFileBytes(program.archivePath()));
    constexpr int kReadme = 2;
    // Longer than the entry it replaces, so the entry after it has to move.
    const test::Bytes replacement =
        test::patternBytes(static_cast<std::size_t>(before.entries()[kReadme].size) + 1000, 7);
    test::writeFileBytes(program.file("new-readme.txt"), replacement);
    const ArchiveImage expected = before.savedWithReplacement(kReadme, replacement);
    ASSERT_NE(expected.entries()[kReadme + 1].offset, before.entries()[kReadme + 1].offset);

    program.openArchive(program.archivePath());
    program.clickEntry(kReadme);
    program.clickButton(3);  // Replace
    program.answerDialog("^Open$", program.file("new-readme.txt"));
    ASSERT_EQ(test::readFileBytes(program.archivePath()), before.bytes())
        << "Replace alone changed the archive";
    program.chooseFileMenuItem(1);  // Save XCR

    EXPECT_TRUE(pollUntil(10000ms, [&] {
        return test::readFileBytes(program.archivePath()) == expected.bytes();
    })) << "the saved archive differs from the expected bytes";
    EXPECT_TRUE(pollUntil(5000ms, [&] { return stagingHoldsNoFiles(program.stagingFolder()); }))
        << "files are left in the staging folder";
    EXPECT_TRUE(pollUntil(5000ms, [&] {
        return ::access((program.archivePath() + "-journal").c_str(), F_OK) != 0;
    })) << "the save's journal is left beside the archive";
    EXPECT_TRUE(program.running());
}

}  // namespace
}  // namespace xcr::e2e
