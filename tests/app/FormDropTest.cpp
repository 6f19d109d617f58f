#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QApplication>
#include <QDropEvent>
#include <QMimeData>
#include <QTest>

#include "app/TForm1.h"
#include "archive/jobs/ReplacementSource.h"
#include "platform/FileUriList.h"
#include "tests/app/FakeServices.h"
#include "tests/support/XcrBuilder.h"

namespace xcr {
namespace {

// A replacement as the window records a file the user chose: with the file it led to.
Replacement chosen(int index, const std::string& path) {
    return {index, path, identifyReplacement(path)};
}

using test::XcrBuilder;

class FormDropTest : public ::testing::Test {
protected:
    // Drags the file of the test's folder whose name is `escaped` in a URI over `target`
    // at `at` and drops it there; whether the pointer said the drop would be taken.
    bool drop(QWidget* target, QPoint at, const std::string& escaped) {
        QMimeData data;
        data.setData(QStringLiteral("text/uri-list"),
                     QByteArray::fromStdString("file://" + dir.file(escaped) + "\r\n"));
        QDragEnterEvent enter(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(target, &enter);
        QDragMoveEvent move(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(target, &move);
        QDropEvent dropped(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(target, &dropped);
        QCoreApplication::processEvents();
        EXPECT_EQ(move.isAccepted(), dropped.isAccepted());
        return move.isAccepted();
    }
    QPoint entryAt(int row) const {
        return form.CheckListBox1->visualRect(form.CheckListBox1->model()->index(row, 0)).center();
    }
    void put(const std::string& name) { test::writeFileBytes(dir.file(name), test::bytesOf(name)); }

    test::TempDir dir;
    test::FakeServices fakes;
    TForm1 form{fakes.take()};
};

TEST_F(FormDropTest, AnArchiveOpensAndAFileOnAnEntryReplacesItUnlessTheCommandIsGreyed) {
    XcrBuilder().add("one", "1").add("two", "2").writeTo(dir.file("a.XCR"));
    for (const char* name : {"new.bin", "other.bin"}) {
        test::writeFileBytes(dir.file(name), test::bytesOf(name));
    }
    QWidget* list = form.CheckListBox1->viewport();
    // Nothing open: no entry to drop a file on, and only an archive is taken.
    EXPECT_FALSE(drop(list, entryAt(0), "new.bin"));
    EXPECT_FALSE(drop(&form, QPoint(400, 200), "new.bin"));
    EXPECT_TRUE(drop(&form, QPoint(400, 200), "a.XCR"));
    ASSERT_EQ(form.session().archivePath, dir.file("a.XCR"));
    ASSERT_EQ(form.CheckListBox1->count(), 2);

    EXPECT_TRUE(drop(list, entryAt(1), "new.bin"));
    EXPECT_EQ(form.session().replacements.list(),
              (std::vector<Replacement>{chosen(1, dir.file("new.bin"))}));
    // Below the entries of the list only an archive is taken.
    EXPECT_FALSE(drop(list, QPoint(20, 300), "new.bin"));

    // While a job holds the lock (here: Extract asking for its folder), both are refused.
    fakes.JvBrowseFolder1->onShow = [&] {
        EXPECT_FALSE(drop(list, entryAt(0), "other.bin"));
        EXPECT_FALSE(drop(&form, QPoint(400, 200), "a.XCR"));
    };
    form.SpeedButton2->click();
    EXPECT_EQ(fakes.JvBrowseFolder1->shown, 1);
    EXPECT_EQ(form.session().replacements.list().size(), 1u);
    EXPECT_TRUE(fakes.messages->texts.empty());
}

// An entry takes a regular file under the exact bytes of its name, and nothing that a
// save could not read as one: not a folder, not a link to one.
TEST_F(FormDropTest, AFileOnAnEntryIsRecordedByTheBytesOfItsNameAndOnlyWhenRegular) {
    XcrBuilder().add("one", "1").writeTo(dir.file("a.xcr"));
    form.openArchive(dir.file("a.xcr"));
    test::writeFileBytes(dir.file("caf\xe9 #1.bin"), test::bytesOf("x"));
    ASSERT_EQ(::mkdir(dir.file("a folder").c_str(), 0700), 0);
    ASSERT_EQ(::symlink("a folder", dir.file("link.bin").c_str()), 0);
    // The URI's escaped name and the file recorded, none when refused.
    const std::pair<std::string, std::string> cases[] = {
        {"caf%E9%20%231.bin", "caf\xe9 #1.bin"},
        {"a%20folder", ""},
        {"link.bin", ""},
        {"missing.bin", ""},
    };
    std::string recorded;
    for (const auto& [escaped, name] : cases) {
        EXPECT_EQ(drop(form.CheckListBox1->viewport(), entryAt(0), escaped), !name.empty());
        recorded = name.empty() ? recorded : dir.file(name);
        EXPECT_EQ(form.session().replacements.list(),
                  (std::vector<Replacement>{chosen(0, recorded)}))
            << escaped;
    }
}

// The entry's file is written by a job, the controls greyed meanwhile, and handed over
// under the bytes of its name, but only while the button that drags is still down.
TEST_F(FormDropTest, AnEntryDraggedOutIsExtractedAsAJobAndHandedOverByTheBytesOfItsName) {
    XcrBuilder().add("data\\caf\xe9.txt", "caf\xe9").writeTo(dir.file("a.xcr"));
    form.openArchive(dir.file("a.xcr"));
    for (const bool held : {true, false}) {
        fakes.fileDrag->held = held;
        emit form.CheckListBox1->entryDragged(0);
        EXPECT_FALSE(form.SpeedButton2->isEnabled()) << "no job while extracting";
        ASSERT_TRUE(QTest::qWaitFor([&] { return form.SpeedButton2->isEnabled(); }));
        // Let go during the extraction: no drag is started.
        ASSERT_EQ(fakes.fileDrag->uriLists.size(), 1u);
        if (held) {
            const std::string& list = fakes.fileDrag->uriLists.front();
            EXPECT_TRUE(list.ends_with("/caf%E9.txt\r\n")) << list;
            EXPECT_EQ(test::readFileBytes(localPathOf(urisIn(list).at(0)).value_or("")),
                      test::bytesOf("caf\xe9"));
        }
    }
    EXPECT_TRUE(fakes.messages->texts.empty());
}

}  // namespace
}  // namespace xcr
