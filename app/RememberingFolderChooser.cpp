#include "app/RememberingFolderChooser.h"

namespace xcr {

RememberingFolderChooser::RememberingFolderChooser(std::unique_ptr<FolderChooser> chooser,
                                                   std::shared_ptr<SettingsStore> store,
                                                   std::string key)
    : chooser_(std::move(chooser)), store_(std::move(store)), key_(std::move(key)) {
    chooser_->openOn(store_->value(key_));
}

bool RememberingFolderChooser::execute(QWidget* parent) {
    if (!chooser_->execute(parent)) {
        return false;
    }
    store_->setValue(key_, chooser_->folder());
    return true;
}

}  // namespace xcr
