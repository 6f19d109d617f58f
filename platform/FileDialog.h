#ifndef PLATFORM_FILEDIALOG_H
#define PLATFORM_FILEDIALOG_H

#include <string>

class QWidget;

namespace xcr {

// An open-file dialog. The file name stays what the user last confirmed: a cancel
// leaves it as it was, so it is empty until the first confirmation.
class FileDialog {
public:
    virtual ~FileDialog() = default;

    // Shows the dialog modally over `parent`; true when the user confirmed a file.
    virtual bool execute(QWidget* parent) = 0;
    virtual std::string fileName() const = 0;
    // Until a file is confirmed, the dialog opens in `folder` (an empty text changes
    // nothing); afterwards it opens where the confirmed file lies.
    virtual void openIn(const std::string& folder) = 0;
};

}  // namespace xcr

#endif  // PLATFORM_FILEDIALOG_H
