#ifndef PLATFORM_APPLICATIONS_H
#define PLATFORM_APPLICATIONS_H

#include <QString>
#include <string>
#include <vector>

class QWidget;

namespace xcr {

// An application the desktop offers for a type of file.
struct DesktopApplication {
    std::string id;  // the desktop's name for it ("org.example.Paint.desktop")
    QString name;    // what the user reads
};

// The applications the desktop registers for files, and their launching.
class Applications {
public:
    virtual ~Applications() = default;

    // The applications registered for files named like `path` (by its name alone: the
    // file need not exist yet), the desktop's default first.
    virtual std::vector<DesktopApplication> forFile(const std::string& path) = 0;
    // Opens the file at `path` in the application `id`. Returns an empty text, or why it
    // could not be started.
    virtual std::string launch(const std::string& id, const std::string& path) = 0;
};

// Asks which of the applications should open a file.
class ApplicationChooser {
public:
    virtual ~ApplicationChooser() = default;

    // Shows `choices` for the file `fileName`, `preselected` chosen at first (or none
    // when it is -1). Returns the index chosen, or -1 when the user cancels.
    virtual int choose(QWidget* parent, const QString& fileName,
                       const std::vector<DesktopApplication>& choices, int preselected) = 0;
};

}  // namespace xcr

#endif  // PLATFORM_APPLICATIONS_H
