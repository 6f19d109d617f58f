#include "platform/QtFileDialog.h"

#include <QFile>
#include <QFileDialog>
#include <QFileInfo>

namespace xcr {

QtFileDialog::QtFileDialog(QStringList filters, QString defaultSuffix, Purpose purpose)
    : filters_(std::move(filters)), defaultSuffix_(std::move(defaultSuffix)), purpose_(purpose) {}

void QtFileDialog::openIn(const std::string& folder) {
    if (!folder.empty()) {
        folder_ = folder;
    }
}

bool QtFileDialog::execute(QWidget* parent) {
    QFileDialog dialog(parent);
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setAcceptMode(purpose_ == Purpose::Save ? QFileDialog::AcceptSave
                                                   : QFileDialog::AcceptOpen);
    // A name that does not exist is accepted; opening it then fails with its own message.
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setNameFilters(filters_);
    dialog.setDefaultSuffix(defaultSuffix_);
    if (!fileName_.empty()) {
        const QFileInfo last(QFile::decodeName(fileName_.c_str()));
        dialog.setDirectory(last.absolutePath());
        dialog.selectFile(last.fileName());
    } else if (!folder_.empty()) {
        dialog.setDirectory(QFile::decodeName(folder_.c_str()));
    }
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
        return false;
    }
    fileName_ = QFile::encodeName(dialog.selectedFiles().constFirst()).toStdString();
    return true;
}

}  // namespace xcr
