#ifndef APP_REPLACEMENTSDIALOG_H
#define APP_REPLACEMENTSDIALOG_H

#include <QString>
#include <cstdint>
#include <vector>

class QWidget;

namespace xcr {

// One recorded replacement as the Replacements dialog lists it.
struct ReplacementRow {
    int index = 0;
    QString name;  // the display name, as the entry list shows it
    QString path;
    std::int64_t oldSize = 0;
    std::int64_t newSize = -1;  // of the file now; -1 when it cannot be found
};

// The dialog that lists the recorded replacements and lets the user remove some or all.
class ReplacementsDialog {
public:
    virtual ~ReplacementsDialog() = default;

    // Shows `rows` modally over `parent`; the entry indexes the user removed, none when
    // the dialog was cancelled.
    virtual std::vector<int> execute(QWidget* parent, const std::vector<ReplacementRow>& rows) = 0;
};

}  // namespace xcr

#endif  // APP_REPLACEMENTSDIALOG_H
