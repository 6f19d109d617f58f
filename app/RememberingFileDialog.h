#ifndef APP_REMEMBERINGFILEDIALOG_H
#define APP_REMEMBERINGFILEDIALOG_H

#include <memory>
#include <string>

#include "platform/FileDialog.h"
#include "platform/SettingsStore.h"

namespace xcr {

// An open dialog that opens, in a new run, in the folder of the file last confirmed in it
// (kept in the settings store under `key`), and keeps that folder at each confirmation.
class RememberingFileDialog : public FileDialog {
public:
    RememberingFileDialog(std::unique_ptr<FileDialog> dialog, std::shared_ptr<SettingsStore> store,
                          std::string key);

    bool execute(QWidget* parent) override;
    std::string fileName() const override { return dialog_->fileName(); }
    void openIn(const std::string& folder) override { dialog_->openIn(folder); }

private:
    std::unique_ptr<FileDialog> dialog_;
    std::shared_ptr<SettingsStore> store_;
    std::string key_;
};

}  // namespace xcr

#endif  // APP_REMEMBERINGFILEDIALOG_H
