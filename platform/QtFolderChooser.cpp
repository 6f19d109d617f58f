#include "platform/QtFolderChooser.h"

#include <QFile>
#include <QFileDialog>

namespace xcr {

QtFolderChooser::QtFolderChooser(QString prompt) : prompt_(std::move(prompt)) {}

void QtFolderChooser::openOn(const std::string& folder) {
    if (!folder.empty()) {
        opening_ = folder;
    }
}

bool QtFolderChooser::execute(QWidget* parent) {
    QFileDialog dialog(parent, prompt_);
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setOption(QFileDialog::ShowDirsOnly);
    dialog.setFileMode(QFileDialog::Directory);
    dialog.setSizeGripEnabled(true);
    const std::string opening = opening_.empty() ? folder_ : opening_;
    opening_.clear();
    if (!opening.empty()) {
        dialog.setDirectory(QFile::decodeName(opening.c_str()));
    }
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
        return false;
    }
    folder_ = QFile::encodeName(dialog.selectedFiles().constFirst()).toStdString();
    return true;
}

}  // namespace xcr
