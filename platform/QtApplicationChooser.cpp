#include "platform/QtApplicationChooser.h"

#include <QDialog>
#include <QDialogButtonBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

namespace xcr {

namespace {

// A file name is shown as it is, never read as markup.
QLabel* plainChooserLabel(const QString& text, QWidget* parent) {
    auto* label = new QLabel(text, parent);
    label->setTextFormat(Qt::PlainText);
    label->setWordWrap(true);
    return label;
}

// Nothing to choose from: the dialog only says so.
int showNoApplication(QWidget* parent, const QString& fileName) {
    QDialog dialog(parent);
    dialog.setWindowTitle(QStringLiteral("Open with"));
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, &dialog);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    auto* layout = new QVBoxLayout(&dialog);
    layout->addWidget(plainChooserLabel(
        QStringLiteral("No application on this desktop opens %1.").arg(fileName), &dialog));
    layout->addWidget(buttons);
    dialog.exec();
    return -1;
}

}  // namespace

int QtApplicationChooser::choose(QWidget* parent, const QString& fileName,
                                 const std::vector<DesktopApplication>& choices, int preselected) {
    if (choices.empty()) {
        return showNoApplication(parent, fileName);
    }
    QDialog dialog(parent);
    dialog.setWindowTitle(QStringLiteral("Open with"));
    auto* list = new QListWidget(&dialog);
    list->setSelectionMode(QAbstractItemView::SingleSelection);
    for (const DesktopApplication& application : choices) {
        list->addItem(application.name);
    }
    if (preselected >= 0 && preselected < list->count()) {
        list->setCurrentRow(preselected);
        list->scrollToItem(list->currentItem());
    }

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
    // OK takes the selected row, so it waits for one; the list may open with none.
    QPushButton* ok = buttons->button(QDialogButtonBox::Ok);
    const auto update = [list, ok] { ok->setEnabled(!list->selectedItems().isEmpty()); };
    QObject::connect(list, &QListWidget::itemSelectionChanged, &dialog, update);
    update();
    QObject::connect(list, &QListWidget::itemDoubleClicked, &dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);

    auto* layout = new QVBoxLayout(&dialog);
    layout->addWidget(plainChooserLabel(QStringLiteral("Open %1 with:").arg(fileName), &dialog));
    layout->addWidget(list);
    layout->addWidget(buttons);
    if (dialog.exec() != QDialog::Accepted) {
        return -1;
    }
    const QList<QListWidgetItem*> chosen = list->selectedItems();
    return chosen.isEmpty() ? -1 : list->row(chosen.constFirst());
}

}  // namespace xcr
