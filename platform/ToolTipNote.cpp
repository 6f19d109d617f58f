#include "platform/ToolTipNote.h"

#include <QToolTip>
#include <QWidget>

namespace xcr {

void ToolTipNote::show(QWidget& near, const QString& text) {
    constexpr int kShownMs = 5000;
    QToolTip::showText(near.mapToGlobal(near.rect().bottomLeft()), text, &near, QRect(), kShownMs);
}

}  // namespace xcr
