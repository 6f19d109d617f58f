#include "app/QtReplacementsDialog.h"

#include <QDialog>
#include <QDialogButtonBox>
#include <QHeaderView>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <set>

namespace xcr {

namespace {

QString sizeText(std::int64_t size) {
    return size < 0 ? QStringLiteral("missing") : QString::number(size);
}

}  // namespace

std::vector<int> QtReplacementsDialog::execute(QWidget* parent,
                                               const std::vector<ReplacementRow>& rows) {
    QDialog dialog(parent);
    dialog.setWindowTitle(QStringLiteral("Replacements"));
    auto* table = new QTreeWidget(&dialog);
    table->setRootIsDecorated(false);
    table->setSelectionMode(QAbstractItemView::ExtendedSelection);
    table->setHeaderLabels({QStringLiteral("Entry"), QStringLiteral("Name"), QStringLiteral("File"),
                            QStringLiteral("Size")});
    for (const ReplacementRow& row : rows) {
        auto* item = new QTreeWidgetItem(
            table,
            {QString::number(row.index), row.name, row.path,
             QString::number(row.oldSize) + QStringLiteral(" \u2192 ") + sizeText(row.newSize)});
        item->setData(0, Qt::UserRole, row.index);
    }
    table->header()->setSectionResizeMode(QHeaderView::ResizeToContents);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
    auto* remove = buttons->addButton(QStringLiteral("Remove"), QDialogButtonBox::ActionRole);
    auto* removeAll =
        buttons->addButton(QStringLiteral("Remove all"), QDialogButtonBox::ActionRole);
    QObject::connect(remove, &QPushButton::clicked, table,
                     [table] { qDeleteAll(table->selectedItems()); });
    QObject::connect(removeAll, &QPushButton::clicked, table, &QTreeWidget::clear);
    // Each button is usable only while it has something to remove.
    const auto update = [table, remove, removeAll] {
        remove->setEnabled(!table->selectedItems().isEmpty());
        removeAll->setEnabled(table->topLevelItemCount() > 0);
    };
    QObject::connect(table, &QTreeWidget::itemSelectionChanged, &dialog, update);
    QObject::connect(table->model(), &QAbstractItemModel::rowsRemoved, &dialog, update);
    QObject::connect(table->model(), &QAbstractItemModel::modelReset, &dialog, update);
    update();
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);

    auto* layout = new QVBoxLayout(&dialog);
    layout->addWidget(table);
    layout->addWidget(buttons);
    dialog.resize(640, 320);
    if (dialog.exec() != QDialog::Accepted) {
        return {};
    }
    std::set<int> kept;
    for (int i = 0; i < table->topLevelItemCount(); ++i) {
        kept.insert(table->topLevelItem(i)->data(0, Qt::UserRole).toInt());
    }
    std::vector<int> removed;
    for (const ReplacementRow& row : rows) {
        if (kept.count(row.index) == 0) {
            removed.push_back(row.index);
        }
    }
    return removed;
}

}  // namespace xcr
