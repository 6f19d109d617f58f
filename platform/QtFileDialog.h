#ifndef PLATFORM_QTFILEDIALOG_H
#define PLATFORM_QTFILEDIALOG_H

#include <QString>
#include <QStringList>

#include "platform/FileDialog.h"

namespace xcr {

// The toolkit's own (not the desktop's native) open dialog, so that it looks and behaves
// the same everywhere and can be driven by typing a path into its file-name box; or, made
// for saving, its save dialog, which asks before a file is replaced.
class QtFileDialog : public FileDialog {
public:
    enum class Purpose { Open, Save };

    // `filters` in the toolkit's form ("XCR files (*.xcr)"), the first one in force when
    // the dialog opens; `defaultSuffix` is appended to a name typed without one.
    QtFileDialog(QStringList filters, QString defaultSuffix, Purpose purpose = Purpose::Open);

    bool execute(QWidget* parent) override;
    std::string fileName() const override { return fileName_; }
    void openIn(const std::string& folder) override;

private:
    QStringList filters_;
    QString defaultSuffix_;
    Purpose purpose_;
    std::string fileName_;
    std::string folder_;  // where the dialog opens before a file is confirmed
};

}  // namespace xcr

#endif  // PLATFORM_QTFILEDIALOG_H
