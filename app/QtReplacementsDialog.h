#ifndef APP_QTREPLACEMENTSDIALOG_H
#define APP_QTREPLACEMENTSDIALOG_H

#include "app/ReplacementsDialog.h"

namespace xcr {

// The Replacements dialog in widgets: a table of entry, name, file and sizes, with
// Remove (the selected rows), Remove all, OK and Cancel.
class QtReplacementsDialog : public ReplacementsDialog {
public:
    std::vector<int> execute(QWidget* parent, const std::vector<ReplacementRow>& rows) override;
};

}  // namespace xcr

#endif  // APP_QTREPLACEMENTSDIALOG_H
