#ifndef PLATFORM_TOOLTIPNOTE_H
#define PLATFORM_TOOLTIPNOTE_H

#include "platform/StatusNote.h"

namespace xcr {

// Shows the note as a tooltip at the lower left of the widget, for five seconds.
class ToolTipNote final : public StatusNote {
public:
    void show(QWidget& near, const QString& text) override;
};

}  // namespace xcr

#endif  // PLATFORM_TOOLTIPNOTE_H
