#ifndef PLATFORM_QTAPPLICATIONCHOOSER_H
#define PLATFORM_QTAPPLICATIONCHOOSER_H

#include "platform/Applications.h"

namespace xcr {

// A small modal list of the applications by name; a double click or OK takes one.
class QtApplicationChooser final : public ApplicationChooser {
public:
    int choose(QWidget* parent, const QString& fileName,
               const std::vector<DesktopApplication>& choices, int preselected) override;
};

}  // namespace xcr

#endif  // PLATFORM_QTAPPLICATIONCHOOSER_H
