#include <gtest/gtest.h>

#include <sys/stat.h>
#include <QApplication>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>

#include "platform/QtFileDialog.h"
#include "platform/QtFolderChooser.h"
#include "tests/support/XcrBuilder.h"

namespace xcr {
namespace {

// Once the dialog is up, types `text` into its name box and confirms it, or cancels
// when `text` is empty; hands the dialog to `inspect` first.
void answerNextDialog(QString text, std::function<void(QFileDialog*)> inspect = {}) {
    QTimer::singleShot(0, [text, inspect] {
        auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        if (inspect) {
            inspect(dialog);
        }
        if (text.isEmpty()) {
            dialog->reject();
            return;
        }
        auto* name = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
        ASSERT_NE(name, nullptr);
        name->setText(text);
        auto* buttons = dialog->findChild<QDialogButtonBox*>();
        ASSERT_NE(buttons, nullptr);
        buttons->button(QDialogButtonBox::Open)->click();
    });
}

TEST(QtFileDialogTest, TypedNameGetsTheDefaultSuffixAndCancelKeepsTheLastName) {
    test::TempDir dir;
    test::writeFileBytes(dir.file("data.xcr"), test::bytesOf("x"));
    QtFileDialog dialog({"XCR files (*.xcr)", "All files (*)"}, "xcr");
    answerNextDialog("", [](QFileDialog* shown) {
        EXPECT_EQ(shown->testOption(QFileDialog::DontUseNativeDialog), true);
        EXPECT_EQ(shown->selectedNameFilter(), "XCR files (*.xcr)");
    });
    EXPECT_FALSE(dialog.execute(nullptr));
    EXPECT_EQ(dialog.fileName(), "");

    answerNextDialog(QString::fromStdString(dir.file("data")));
    EXPECT_TRUE(dialog.execute(nullptr));
    EXPECT_EQ(dialog.fileName(), dir.file("data.xcr"));

    // Opens where the last file was, and a cancel keeps it.
    answerNextDialog("", [&](QFileDialog* shown) {
        EXPECT_EQ(shown->directory().absolutePath().toStdString(), dir.path());
    });
    EXPECT_FALSE(dialog.execute(nullptr));
    EXPECT_EQ(dialog.fileName(), dir.file("data.xcr"));
}

TEST(QtFolderChooserTest, KeepsTheConfirmedFolderAndOpensOnIt) {
    test::TempDir dir;
    const std::string folder = dir.file("out");
    ASSERT_EQ(::mkdir(folder.c_str(), 0700), 0);
    QtFolderChooser chooser("Select folder to extract files to");
    answerNextDialog(QString::fromStdString(folder), [](QFileDialog* shown) {
        EXPECT_EQ(shown->windowTitle(), "Select folder to extract files to");
        EXPECT_EQ(shown->fileMode(), QFileDialog::Directory);
        EXPECT_TRUE(shown->isSizeGripEnabled());
    });
    EXPECT_TRUE(chooser.execute(nullptr));
    EXPECT_EQ(chooser.folder(), folder);

    answerNextDialog("", [&](QFileDialog* shown) {
        EXPECT_EQ(shown->directory().absolutePath().toStdString(), folder);
    });
    EXPECT_FALSE(chooser.execute(nullptr));
    EXPECT_EQ(chooser.folder(), folder);
}

}  // namespace
}  // namespace xcr
