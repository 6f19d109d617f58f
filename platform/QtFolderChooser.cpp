#include "platform/QtFolderChooser.h"

#include <QFile>
#include <QFileDialog>

namespace xcr {

QtFolderChooser::QtFolderChooser(QString prompt) : prompt_(std::move(prompt)) {}

bool QtFolderChooser::execute(QWidget* parent) {
    QFileDialog dialog(parent, prompt_);
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setOption(QFileDialog::ShowDirsOnly);
    dialog.setFileMode(QFileDialog::Directory);
    dialog.setSizeGripEnabled(true);
    if (!folder_.empty()) {
        dialog.setDirectory(QFile::decodeName(folder_.c_str()));
    }
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
        return false;
    }
    folder_ = QFile::encodeName(dialog.selectedFiles().constFirst()).toStdString();
    return true;
}

}  // namespace xcr
