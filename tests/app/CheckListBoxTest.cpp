#include <gtest/gtest.h>

#include <QSignalSpy>
#include <QTest>

#include "app/CheckListBox.h"

namespace xcr {
namespace {

// Shows `names`, all unchecked, as an opened archive would.
void show(CheckListBox& list, const std::vector<std::string>& names) {
    auto entries = std::make_shared<EntryNames>();
    for (const auto& name : names) {
        entries->add(name);
    }
    list.setEntries(entries, std::make_shared<CheckMarks>(static_cast<int>(names.size())));
}

class CheckListBoxTest : public ::testing::Test {
protected:
    void SetUp() override {
        list.resize(216, 369);
        show(list, {"a.bmp", "b.wav", "c.txt", "d.txt"});
        list.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&list));
    }
    QPoint centreOf(int row) const { return list.visualRect(list.model()->index(row, 0)).center(); }
    QPoint checkBoxOf(int row) const {
        const QRect rect = list.visualRect(list.model()->index(row, 0));
        return {rect.left() + 6, rect.center().y()};
    }

    CheckListBox list;
    QSignalSpy clicks{&list, &CheckListBox::entryClicked};
};

TEST_F(CheckListBoxTest, NamesKeepEveryByteAndRowsAreThirteenHigh) {
    std::string allBytes;
    // Every byte a display name can hold: "\\" and ":" end a stored name's folder part.
    for (int byte = 1; byte < 256; ++byte) {
        if (byte != '\\' && byte != ':') {
            allBytes.push_back(static_cast<char>(byte));
        }
    }
    show(list, {allBytes, "", "\xe9t\xe9.bmp"});
    ASSERT_EQ(list.count(), 3);
    EXPECT_EQ(list.itemName(0), allBytes);
    EXPECT_EQ(list.itemName(1), "");
    EXPECT_EQ(list.itemText(2), QString::fromUtf8("\xc3\xa9t\xc3\xa9.bmp"));
    EXPECT_EQ(list.itemName(2), "\xe9t\xe9.bmp");
    EXPECT_EQ(list.visualRect(list.model()->index(1, 0)).height(), CheckListBox::kItemHeight);
}

TEST_F(CheckListBoxTest, NewNamesComeUncheckedWithNothingSelected) {
    list.setChecked(1, true);
    list.setItemIndex(1);
    EXPECT_EQ(list.itemIndex(), 1);
    show(list, {"x", "y", "z"});
    EXPECT_FALSE(list.isChecked(1));
    EXPECT_EQ(list.itemIndex(), -1);
    EXPECT_EQ(clicks.count(), 0);
}

TEST_F(CheckListBoxTest, CheckingAllLeavesSelectionAloneAndIsNoClick) {
    list.setChecked(0, true);
    list.setItemIndex(2);
    QSignalSpy changes(list.model(), &QAbstractItemModel::dataChanged);
    list.setAllChecked(true);
    for (int row = 0; row < 4; ++row) {
        EXPECT_TRUE(list.isChecked(row)) << row;
    }
    // Only the rows that changed are redrawn.
    ASSERT_EQ(changes.count(), 1);
    EXPECT_EQ(changes[0][0].toModelIndex().row(), 1);
    EXPECT_EQ(changes[0][1].toModelIndex().row(), 3);
    list.setAllChecked(true);
    EXPECT_EQ(changes.count(), 1);
    list.setAllChecked(false);
    EXPECT_FALSE(list.isChecked(0));
    EXPECT_FALSE(list.isChecked(3));
    EXPECT_EQ(list.itemIndex(), 2);
    EXPECT_EQ(clicks.count(), 0);
}

TEST_F(CheckListBoxTest, MouseAndKeyboardSelectionsAreClicksButSpaceAloneIsNot) {
    QTest::mouseClick(list.viewport(), Qt::LeftButton, {}, centreOf(1));
    EXPECT_EQ(list.itemIndex(), 1);
    EXPECT_EQ(clicks.count(), 1);
    EXPECT_FALSE(list.isChecked(1));

    // The check box of an unselected item toggles it and selects it.
    QTest::mouseClick(list.viewport(), Qt::LeftButton, {}, checkBoxOf(3));
    EXPECT_EQ(list.itemIndex(), 3);
    EXPECT_TRUE(list.isChecked(3));
    EXPECT_EQ(clicks.count(), 2);

    list.setFocus();
    QTest::keyClick(&list, Qt::Key_Up);
    EXPECT_EQ(list.itemIndex(), 2);
    EXPECT_EQ(clicks.count(), 3);

    QTest::keyClick(&list, Qt::Key_Space);
    EXPECT_TRUE(list.isChecked(2));
    EXPECT_EQ(clicks.count(), 3);

    // Type-to-find selects by the first letter.
    QTest::keyClick(&list, Qt::Key_A);
    EXPECT_EQ(list.itemIndex(), 0);
    EXPECT_EQ(clicks.count(), 4);
}

TEST_F(CheckListBoxTest, CtrlNeverTakesTheSelectionAway) {
    QTest::mouseClick(list.viewport(), Qt::LeftButton, {}, centreOf(1));
    QTest::mouseClick(list.viewport(), Qt::LeftButton, Qt::ControlModifier, centreOf(1));
    EXPECT_EQ(list.itemIndex(), 1);
    list.setFocus();
    QTest::keyClick(&list, Qt::Key_Space, Qt::ControlModifier);
    EXPECT_EQ(list.itemIndex(), 1);
    // Ctrl with a click on another item still moves the selection there.
    QTest::mouseClick(list.viewport(), Qt::LeftButton, Qt::ControlModifier, centreOf(2));
    EXPECT_EQ(list.itemIndex(), 2);
    EXPECT_EQ(clicks.count(), 2);
}

}  // namespace
}  // namespace xcr
