#ifndef PLATFORM_FOLDERCHOOSER_H
#define PLATFORM_FOLDERCHOOSER_H

#include <string>

class QWidget;

namespace xcr {

// A modal folder chooser. The folder stays what the user last confirmed (empty until
// then) and is preselected the next time.
class FolderChooser {
public:
    virtual ~FolderChooser() = default;

    // Shows the chooser over `parent`; true when the user confirmed a folder.
    virtual bool execute(QWidget* parent) = 0;
    virtual std::string folder() const = 0;
    // The next execute() opens on `folder` rather than on the folder confirmed last; an
    // empty text changes nothing. What folder() gives stays as it is.
    virtual void openOn(const std::string& folder) = 0;
};

}  // namespace xcr

#endif  // PLATFORM_FOLDERCHOOSER_H
