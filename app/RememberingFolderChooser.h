#ifndef APP_REMEMBERINGFOLDERCHOOSER_H
#define APP_REMEMBERINGFOLDERCHOOSER_H

#include <memory>
#include <string>

#include "platform/FolderChooser.h"
#include "platform/SettingsStore.h"

namespace xcr {

// A folder chooser that opens, in a new run, on the folder it was last confirmed in
// (kept in the settings store under `key`), and keeps each folder confirmed there.
class RememberingFolderChooser : public FolderChooser {
public:
    RememberingFolderChooser(std::unique_ptr<FolderChooser> chooser,
                             std::shared_ptr<SettingsStore> store, std::string key);

    bool execute(QWidget* parent) override;
    std::string folder() const override { return chooser_->folder(); }
    void openOn(const std::string& folder) override { chooser_->openOn(folder); }

private:
    std::unique_ptr<FolderChooser> chooser_;
    std::shared_ptr<SettingsStore> store_;
    std::string key_;
};

}  // namespace xcr

#endif  // APP_REMEMBERINGFOLDERCHOOSER_H
