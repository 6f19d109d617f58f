#include <gtest/gtest.h>

#include <QTest>

#include "app/TForm1.h"
#include "archive/jobs/SaveJob.h"
#include "archive/patch/PatchMaking.h"
#include "archive/store/OpenedArchive.h"
#include "tests/app/FakeServices.h"
#include "tests/support/FakeProgress.h"
#include "tests/support/XcrBuilder.h"

namespace xcr {
namespace {

using test::Bytes;
using test::bytesOf;

// A patch made from an original and the same archive saved with entries 1 and 3
// replaced, and the window on a third copy of the original.
class FormModPatchTest : public ::testing::Test {
protected:
    void SetUp() override {
        const Bytes original = test::XcrBuilder()
                                   .add("a\\w.bmp", "wall")
                                   .add("b\\w.bmp", "s")
                                   .add("r.txt", "r")
                                   .add("l", "l")
                                   .writeTo(dir.file("o.xcr"));
        test::writeFileBytes(dir.file("m.xcr"), original);
        test::writeFileBytes(archive, original);
        test::writeFileBytes(dir.file("1.bin"), bytesOf("a longer second entry"));
        test::writeFileBytes(dir.file("3.bin"), bytesOf("L"));
        test::FakeProgress progress;
        OpenedArchive held = openArchive(dir.file("m.xcr"), HeldArchive::Access::ReadWrite);
        ASSERT_TRUE(runSave({std::move(held.archive),
                             held.entries,
                             {{1, dir.file("1.bin")}, {3, dir.file("3.bin")}},
                             {},
                             {dir.file("undo")}},
                            progress)
                        .ok());
        OpenedArchive o = openArchive(dir.file("o.xcr"));
        OpenedArchive m = openArchive(dir.file("m.xcr"));
        ASSERT_EQ(diffArchives(o.archive, o.entries, m.archive, m.entries, patch).entries, 2);
        fakes.OpenDialog1->replies.push_back(archive);
        form.OpenXCR1->trigger();
    }
    std::vector<int> replaced() const {
        std::vector<int> rows;
        for (const Replacement& replacement : form.session().replacements.list()) {
            rows.push_back(replacement.index);
        }
        return rows;
    }

    test::TempDir dir;
    const std::string archive = dir.file("a.xcr");
    const std::string patch = dir.file("mod.xcrpatch");
    test::FakeServices fakes;
    TForm1 form{fakes.take()};
};

// Applying records the entries as replacements; the save then writes exactly what the
// patch was made from, and exporting them again gives the same patch.
TEST_F(FormModPatchTest, ApplyRecordsTheEntriesTheSaveWritesAndExportGivesThePatchBack) {
    fakes.patchOpenDialog->replies.push_back(patch);
    form.ApplyModPatch1->trigger();
    ASSERT_TRUE(fakes.messages->texts.empty()) << fakes.messages->texts.front();
    EXPECT_EQ(fakes.messages->notices.back(),
              "Recorded 2 entries from " + patch + ". Save XCR writes them.");
    EXPECT_EQ(replaced(), (std::vector<int>{1, 3}));
    EXPECT_TRUE(
        form.CheckListBox1->model()->index(1, 0).data(CheckListModel::kReplacedRole).toBool());

    fakes.patchSaveDialog->replies.push_back(dir.file("again.xcrpatch"));
    form.ExportModPatch1->trigger();
    EXPECT_EQ(test::readFileBytes(dir.file("again.xcrpatch")), test::readFileBytes(patch));

    form.SaveXCR1->trigger();
    EXPECT_FALSE(form.File1->isEnabled());  // and both patch items with it
    ASSERT_TRUE(QTest::qWaitFor([this] { return form.File1->isEnabled(); }));
    EXPECT_TRUE(fakes.messages->texts.empty());
    EXPECT_EQ(test::readFileBytes(archive), test::readFileBytes(dir.file("m.xcr")));
    // Saved, and so the patch's bytes are there already: a second apply records nothing.
    fakes.patchOpenDialog->replies.push_back(patch);
    form.ApplyModPatch1->trigger();
    EXPECT_EQ(fakes.messages->notices.back(),
              "The archive holds every entry of " + patch + " already; nothing was recorded.");
}

// A patch that does not fit, a damaged one and a cancel record nothing; export with
// nothing recorded says so and writes nothing; a patch the program starts with is only
// offered.
TEST_F(FormModPatchTest, APatchThatDoesNotFitRecordsNothing) {
    form.openStarted(patch);
    EXPECT_EQ(fakes.patchOpenDialog->openedIn, dir.path());
    EXPECT_EQ(fakes.messages->notices.back().rfind("To apply " + patch + ", open the archive", 0),
              0u);
    EXPECT_EQ(form.session().archivePath, archive);

    fakes.patchSaveDialog->replies.push_back(dir.file("none.xcrpatch"));
    form.ExportModPatch1->trigger();
    EXPECT_EQ(fakes.patchSaveDialog->shown, 0);
    EXPECT_EQ(fakes.messages->notices.back(),
              "No replacements are recorded: a patch would hold nothing.");

    fakes.patchOpenDialog->replies.push_back(std::nullopt);
    form.ApplyModPatch1->trigger();
    Bytes cut = test::readFileBytes(patch);
    cut.pop_back();
    test::writeFileBytes(dir.file("cut.xcrpatch"), cut);
    fakes.patchOpenDialog->replies.push_back(dir.file("cut.xcrpatch"));
    form.ApplyModPatch1->trigger();
    ASSERT_EQ(fakes.messages->texts.size(), 1u);
    EXPECT_EQ(fakes.messages->texts[0].rfind("Cannot read patch " + dir.file("cut.xcrpatch"), 0),
              0u);

    test::XcrBuilder()
        .add("a\\w.bmp", "wall")
        .add("b\\w.bmp", "S")
        .add("r.txt", "r")
        .add("l", "l")
        .writeTo(archive);
    form.openArchive(archive);
    fakes.patchOpenDialog->replies.push_back(patch);
    form.ApplyModPatch1->trigger();
    ASSERT_EQ(fakes.messages->texts.size(), 2u);
    EXPECT_NE(fakes.messages->texts[1].find("entry 1 \"b\\w.bmp\" holds neither"),
              std::string::npos)
        << fakes.messages->texts[1];
    EXPECT_TRUE(replaced().empty());
}

}  // namespace
}  // namespace xcr
