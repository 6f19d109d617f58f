#ifndef PLATFORM_QTFOLDERCHOOSER_H
#define PLATFORM_QTFOLDERCHOOSER_H

#include <QString>

#include "platform/FolderChooser.h"

namespace xcr {

// The toolkit's own folder dialog: a path can be typed, folders created, the dialog
// resized; it opens on the folder chosen last.
class QtFolderChooser : public FolderChooser {
public:
    explicit QtFolderChooser(QString prompt);

    bool execute(QWidget* parent) override;
    std::string folder() const override { return folder_; }
    void openOn(const std::string& folder) override;

private:
    QString prompt_;
    std::string folder_;
    std::string opening_;  // where the next execute() opens, when not on folder_
};

}  // namespace xcr

#endif  // PLATFORM_QTFOLDERCHOOSER_H
