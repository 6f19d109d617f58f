#include "app/RememberingFileDialog.h"

namespace xcr {

RememberingFileDialog::RememberingFileDialog(std::unique_ptr<FileDialog> dialog,
                                             std::shared_ptr<SettingsStore> store, std::string key)
    : dialog_(std::move(dialog)), store_(std::move(store)), key_(std::move(key)) {
    dialog_->openIn(store_->value(key_));
}

bool RememberingFileDialog::execute(QWidget* parent) {
    if (!dialog_->execute(parent)) {
        return false;
    }
    // The folder is what the name holds before its last separator; a name without one
    // lies in no folder worth keeping.
    const std::string name = dialog_->fileName();
    const std::size_t separator = name.rfind('/');
    if (separator != std::string::npos) {
        store_->setValue(key_, name.substr(0, separator == 0 ? 1 : separator));
    }
    return true;
}

}  // namespace xcr
