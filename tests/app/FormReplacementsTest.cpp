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
            .add("art\\wall.bmp", "wall")
            .add("snd\\wall.bmp", "snd")
            .add("readme.txt", "read me")
            .add("level.txt", "level")
            .writeTo(archive);
        fakes.OpenDialog1->replies.push_back(archive);
        form.OpenXCR1->trigger();
        ASSERT_EQ(::mkdir(edited.c_str(), 0700), 0);
    }
    // Which entries the list marks as replaced, and the tooltip of each.
    std::vector<std::pair<int, QString>> marked() const {
        std::vector<std::pair<int, QString>> rows;
        const auto* model = form.CheckListBox1->model();
        for (int i = 0; i < form.CheckListBox1->count(); ++i) {
            if (model->index(i, 0).data(CheckListModel::kReplacedRole).toBool()) {
                rows.emplace_back(i, model->index(i, 0).data(Qt::ToolTipRole).toString());
            }
        }
        return rows;
    }
    QString replacedBy(const std::string& path) const {
        return "Replaced by " + QString::fromStdString(path);
    }

    test::TempDir dir;
    const std::string archive = dir.file("a.xcr");
    const std::string edited = dir.file("edited");
    test::FakeServices fakes;
    TForm1 form{fakes.take()};
};

TEST_F(FormReplacementsTest, ReplaceFromFolderRecordsTheMatchingFilesAndSumsUp) {
    test::writeFileBytes(edited + "/readme.txt", bytesOf("new text"));
    test::writeFileBytes(edited + "/level.txt", bytesOf("level"));
    test::writeFileBytes(edited + "/wall.bmp", bytesOf("which one?"));
    fakes.JvBrowseFolder1->chosen = dir.file("extracted");
    fakes.JvBrowseFolder2->answer = edited;

    form.ReplaceFromFolder1->trigger();
    EXPECT_EQ(fakes.JvBrowseFolder2->openedOn, dir.file("extracted"));
    EXPECT_EQ(form.session().replacements.list(),
              (std::vector<Replacement>{{2, edited + "/readme.txt"}}));
    EXPECT_EQ(marked(),
              (std::vector<std::pair<int, QString>>{{2, replacedBy(edited + "/readme.txt")}}));
    EXPECT_EQ(fakes.messages->notices,
              std::vector<std::string>{
                  "Recorded 1 replacement from " + edited +
                  ".\nSkipped 1 file that already holds what its entry holds.\nSkipped, names "
                  "that several entries share: wall.bmp (files under their stored folders tell "
                  "them apart)."});

    // A cancelled chooser records nothing more; a folder that is gone says why.
    fakes.JvBrowseFolder2->answer.clear();
    form.ReplaceFromFolder1->trigger();
    fakes.JvBrowseFolder2->answer = dir.file("gone");
    form.ReplaceFromFolder1->trigger();
    EXPECT_EQ(form.session().replacements.list().size(), 1u);
    EXPECT_EQ(fakes.messages->notices.size(), 1u);
    EXPECT_EQ(fakes.messages->texts,
              std::vector<std::string>{"Cannot open folder " + dir.file("gone") +
                                       " (No such file or directory)"});
}

TEST_F(FormReplacementsTest, RemovedReplacementsAreForgottenAndUnmarked) {
    test::writeFileBytes(dir.file("three"), bytesOf("333"));
    for (const int index : {0, 1, 3}) {
        form.CheckListBox1->setItemIndex(index);
        fakes.OpenDialog2->replies.push_back(dir.file(index == 3 ? "three" : "missing"));
        form.SpeedButton3->click();
    }
    ASSERT_EQ(marked().size(), 3u);
    fakes.replacementsDialog->remove = {0, 3};
    form.Replacements1->trigger();

    const auto& rows = fakes.replacementsDialog->rows;
    ASSERT_EQ(rows.size(), 3u);
    EXPECT_EQ(rows[0].index, 0);
    EXPECT_EQ(rows[0].name, "wall.bmp");
    EXPECT_EQ(rows[0].path, QString::fromStdString(dir.file("missing")));
    EXPECT_EQ(std::make_pair(rows[0].oldSize, rows[0].newSize), std::make_pair(4L, -1L));
    EXPECT_EQ(std::make_pair(rows[2].oldSize, rows[2].newSize), std::make_pair(5L, 3L));
    EXPECT_EQ(form.session().replacements.list(),
              (std::vector<Replacement>{{1, dir.file("missing")}}));
    EXPECT_EQ(marked(),
              (std::vector<std::pair<int, QString>>{{1, replacedBy(dir.file("missing"))}}));

    // Cancelled, or with nothing removed: the table stays.
    fakes.replacementsDialog->remove.clear();
    form.Replacements1->trigger();
    EXPECT_EQ(form.session().replacements.list().size(), 1u);
}

}  // namespace
}  // namespace xcr
