#include <gtest/gtest.h>
#include <sys/stat.h>

#include "app/TForm1.h"
#include "tests/app/FakeServices.h"
#include "tests/support/XcrBuilder.h"

namespace xcr {
namespace {

using test::bytesOf;
using test::XcrBuilder;

class FormReplacementsTest : public ::testing::Test {
protected:
    void SetUp() override {
        XcrBuilder()
            .add("a\\w.bmp", "wall")
            .add("b\\w.bmp", "s")
            .add("r.txt", "r")
            .add("l", "l")
            .writeTo(archive);
        fakes.OpenDialog1->replies.push_back(archive);
        form.OpenXCR1->trigger();
        ASSERT_EQ(::mkdir(edited.c_str(), 0700), 0);
    }
    // The entries the list marks as replaced, each with its tooltip.
    std::string marked() const {
        std::string rows;
        const auto* model = form.CheckListBox1->model();
        for (int i = 0; i < form.CheckListBox1->count(); ++i) {
            if (model->index(i, 0).data(CheckListModel::kReplacedRole).toBool()) {
                rows += std::to_string(i) + " " +
                        model->index(i, 0).data(Qt::ToolTipRole).toString().toStdString() + ";";
            }
        }
        return rows;
    }

    test::TempDir dir;
    const std::string archive = dir.file("a.xcr");
    const std::string edited = dir.file("edited");
    test::FakeServices fakes;
    TForm1 form{fakes.take()};
};

TEST_F(FormReplacementsTest, ReplaceFromFolderRecordsTheMatchingFilesAndSumsUp) {
    test::writeFileBytes(edited + "/r.txt", bytesOf("new text"));
    test::writeFileBytes(edited + "/l", bytesOf("l"));
    test::writeFileBytes(edited + "/w.bmp", bytesOf("which one?"));
    fakes.JvBrowseFolder1->chosen = dir.file("extracted");
    fakes.JvBrowseFolder2->answer = edited;

    form.ReplaceFromFolder1->trigger();
    EXPECT_EQ(fakes.JvBrowseFolder2->openedOn, dir.file("extracted"));
    EXPECT_EQ(marked(), "2 Replaced by " + edited + "/r.txt;");
    EXPECT_EQ(fakes.messages->notices.at(0).rfind("Recorded 1 replacement", 0), 0u);
}

TEST_F(FormReplacementsTest, RemovedReplacementsAreForgottenAndUnmarked) {
    test::writeFileBytes(dir.file("three"), bytesOf("333"));
    for (const int index : {0, 1, 3}) {
        form.CheckListBox1->setItemIndex(index);
        fakes.OpenDialog2->replies.push_back(dir.file(index == 3 ? "three" : "missing"));
        form.SpeedButton3->click();
    }
    fakes.replacementsDialog->remove = {0, 3};
    form.Replacements1->trigger();

    const auto& rows = fakes.replacementsDialog->rows;
    ASSERT_EQ(rows.size(), 3u);
    EXPECT_EQ(
        std::make_tuple(rows[0].index, rows[0].name, rows[0].path, rows[0].oldSize,
                        rows[0].newSize),
        std::make_tuple(0, QString("w.bmp"), QString::fromStdString(dir.file("missing")), 4L, -1L));
    EXPECT_EQ(std::make_pair(rows[2].oldSize, rows[2].newSize), std::make_pair(1L, 3L));
    EXPECT_EQ(marked(), "1 Replaced by " + dir.file("missing") + ";");
    EXPECT_EQ(form.session().replacements.list(),
              (std::vector<Replacement>{{1, dir.file("missing")}}));
}

}  // namespace
}  // namespace xcr
