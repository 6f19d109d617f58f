#ifndef APP_ABOUT_ABOUTBACKGROUND_H
#define APP_ABOUT_ABOUTBACKGROUND_H

#include <QColor>
#include <QRect>
#include <QSize>

class QPainter;

namespace xcr {

inline constexpr int kAboutBorder = 2;

// Paints the popup's horizontal gradient in 40 bands and its frame: raised on the outside,
// sunken on the inside.
void paintAboutBackground(QPainter& painter, QSize size, const QColor& buttonFace);

// Where the popup's text goes: inside the frame, with a margin of its own.
QRect aboutTextArea(QSize size);

}  // namespace xcr

#endif  // APP_ABOUT_ABOUTBACKGROUND_H
