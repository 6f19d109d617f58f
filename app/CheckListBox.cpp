#include "app/CheckListBox.h"

#include <QContextMenuEvent>
#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QStyledItemDelegate>

namespace xcr {

namespace {

// Keeps every row at the list's fixed item height, and draws the names of entries with a
// recorded replacement in italics.
class FixedHeightDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    void initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const override {
        QStyledItemDelegate::initStyleOption(option, index);
        option->font.setItalic(index.data(CheckListModel::kReplacedRole).toBool());
    }
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override {
        return {QStyledItemDelegate::sizeHint(option, index).width(), CheckListBox::kItemHeight};
    }
};

}  // namespace

CheckListBox::CheckListBox(QWidget* parent) : QListView(parent) {
    setFrameStyle(QFrame::Panel | QFrame::Sunken);
    setLineWidth(1);
    setUniformItemSizes(true);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setFocusPolicy(Qt::StrongFocus);
    setItemDelegate(new FixedHeightDelegate(this));
    setDragEnabled(true);
    setModel(&model_);
    connect(selectionModel(), &QItemSelectionModel::selectionChanged, this,
            [this](const QItemSelection& selected) {
                if (!selected.isEmpty() && !settingIndex_) {
                    emit entryClicked();
                }
            });
}

void CheckListBox::setEntries(std::shared_ptr<const EntryNames> names,
                              std::shared_ptr<CheckMarks> marks) {
    model_.setEntries(std::move(names), std::move(marks));
}

void CheckListBox::mousePressEvent(QMouseEvent* event) {
    // The view lets a press on a check box toggle the mark without selecting the item;
    // here a press anywhere on an item selects it as well.
    const QModelIndex pressed = indexAt(event->position().toPoint());
    if (event->button() == Qt::LeftButton && pressed.isValid() &&
        !selectionModel()->isSelected(pressed)) {
        selectionModel()->setCurrentIndex(pressed, QItemSelectionModel::ClearAndSelect);
    }
    QListView::mousePressEvent(event);
}

void CheckListBox::startDrag(Qt::DropActions) {
    if (currentIndex().isValid()) {
        emit entryDragged(currentIndex().row());
    }
}

void CheckListBox::contextMenuEvent(QContextMenuEvent* event) {
    QPoint at = event->globalPos();
    if (event->reason() == QContextMenuEvent::Mouse) {
        const QModelIndex pointed = indexAt(viewport()->mapFromGlobal(at));
        if (!pointed.isValid()) {
            return;  // below the last entry: nothing to act on
        }
        if (!selectionModel()->isSelected(pointed)) {
            selectionModel()->setCurrentIndex(pointed, QItemSelectionModel::ClearAndSelect);
        }
    } else if (!menuPlaceOfSelection(at)) {
        return;
    }
    emit entryMenuRequested(at);
}

void CheckListBox::keyPressEvent(QKeyEvent* event) {
    // The Menu key comes as a menu request from the desktop; Shift+F10 is the other key
    // users know for it.
    QPoint at;
    if (event->key() == Qt::Key_F10 && event->modifiers() == Qt::ShiftModifier) {
        if (menuPlaceOfSelection(at)) {
            emit entryMenuRequested(at);
        }
        return;
    }
    QListView::keyPressEvent(event);
}

bool CheckListBox::menuPlaceOfSelection(QPoint& at) const {
    if (itemIndex() < 0) {
        return false;
    }
    at = viewport()->mapToGlobal(visualRect(model_.index(itemIndex())).bottomLeft());
    return true;
}

// One entry is always chosen once one was: the view would let Ctrl with a click or the
// space bar take the selection away, leaving Play Wav and Replace with nothing to act on.
QItemSelectionModel::SelectionFlags CheckListBox::selectionCommand(const QModelIndex& index,
                                                                   const QEvent* event) const {
    const auto command = QListView::selectionCommand(index, event);
    return command.testFlag(QItemSelectionModel::Deselect) ? QItemSelectionModel::NoUpdate
                                                           : command;
}

int CheckListBox::itemIndex() const {
    const auto rows = selectionModel()->selectedRows();
    return rows.isEmpty() ? -1 : rows.constFirst().row();
}

void CheckListBox::setItemIndex(int row) {
    settingIndex_ = true;
    if (row < 0 || row >= count()) {
        selectionModel()->clear();
    } else {
        selectionModel()->setCurrentIndex(model_.index(row), QItemSelectionModel::ClearAndSelect);
    }
    settingIndex_ = false;
}

}  // namespace xcr
