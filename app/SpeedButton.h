#ifndef APP_SPEEDBUTTON_H
#define APP_SPEEDBUTTON_H

#include <QPixmap>
#include <QToolButton>

#include "app/FormGeometry.h"

namespace xcr {

// A flat 24 x 24 picture button with a hint: no frame until the pointer is over it,
// never takes the focus, shows its glyph greyed when disabled.
class SpeedButton : public QToolButton {
    Q_OBJECT
public:
    static constexpr int kSize = FormGeometry::kButtonSize;

    // `glyphPath` names a bitmap whose bottom-left pixel gives its transparent colour;
    // a missing bitmap leaves the button without a picture.
    SpeedButton(const QString& hint, const QString& glyphPath, QWidget* parent);

    // The glyph with every pixel of its bottom-left pixel's colour made transparent.
    static QPixmap transparentGlyph(const QImage& glyph);
};

}  // namespace xcr

#endif  // APP_SPEEDBUTTON_H
