#include "app/SpeedButton.h"

#include <QBitmap>
#include <QIcon>
#include <QImage>

namespace xcr {

SpeedButton::SpeedButton(const QString& hint, const QString& glyphPath, QWidget* parent)
    : QToolButton(parent) {
    setAutoRaise(true);
    setFocusPolicy(Qt::NoFocus);
    setToolTip(hint);
    setFixedSize(kSize, kSize);
    setIconSize({kSize, kSize});
    const QImage glyph(glyphPath);
    if (!glyph.isNull()) {
        setIcon(QIcon(transparentGlyph(glyph)));
    }
}

QPixmap SpeedButton::transparentGlyph(const QImage& glyph) {
    if (glyph.isNull()) {
        return {};
    }
    QPixmap pixmap = QPixmap::fromImage(glyph);
    const QRgb background = glyph.pixel(0, glyph.height() - 1);
    pixmap.setMask(QBitmap::fromImage(glyph.createMaskFromColor(background, Qt::MaskInColor)));
    return pixmap;
}

}  // namespace xcr
