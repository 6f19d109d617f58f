#ifndef APP_CHECKLISTBOX_H
#define APP_CHECKLISTBOX_H

#include <QListView>
#include <memory>
#include <string>

#include "app/CheckListModel.h"
#include "app/FormGeometry.h"

namespace xcr {

// The entry list: one check box and name per entry, rows 13 pixels high, a one-pixel
// sunken bevel instead of a frame. The selected item is the clicked entry.
class CheckListBox : public QListView {
    Q_OBJECT
public:
    static constexpr int kItemHeight = FormGeometry::kListItemHeight;

    explicit CheckListBox(QWidget* parent = nullptr);

    // Replaces every item with the entries' names and marks; afterwards nothing is
    // selected.
    void setEntries(std::shared_ptr<const EntryNames> names, std::shared_ptr<CheckMarks> marks);

    int count() const { return model_.count(); }
    QString itemText(int row) const { return model_.text(row); }
    // The item's name as the archive's bytes.
    std::string itemName(int row) const { return model_.name(row); }
    bool isChecked(int row) const { return model_.isChecked(row); }
    void setChecked(int row, bool checked) { model_.setChecked(row, checked); }
    void setAllChecked(bool checked) { model_.setAllChecked(checked); }
    void showReplacements(const ReplacementTable* replacements) {
        model_.showReplacements(replacements);
    }
    void replacementsChanged() { model_.replacementsChanged(); }

    // The selected row, or -1.
    int itemIndex() const;
    // Selects `row` (or nothing) in code, which is not a click.
    void setItemIndex(int row);

signals:
    // An item became the selected one, by the mouse or the keyboard; toggling a check
    // mark from the keyboard alone and changing check marks in code do not count.
    void entryClicked();
    // The user started dragging entry `row` out of the list.
    void entryDragged(int row);
    // The user asked for the selected entry's menu, to be shown at `at` (global): by a
    // right click on an entry, which selects it as a click does, or from the keyboard.
    void entryMenuRequested(const QPoint& at);

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void startDrag(Qt::DropActions supportedActions) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    QItemSelectionModel::SelectionFlags selectionCommand(const QModelIndex& index,
                                                         const QEvent* event) const override;

private:
    // Under the selected entry, where a menu asked for from the keyboard opens; false
    // when none is selected.
    bool menuPlaceOfSelection(QPoint& at) const;

    CheckListModel model_;
    bool settingIndex_ = false;
};

}  // namespace xcr

#endif  // APP_CHECKLISTBOX_H
