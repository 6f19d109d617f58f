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

// Where the popup's text starts and how wide it may run: inside the frame, with a margin.
QRect aboutTextArea(QSize size);

// Everything within the frame's lines. The text is drawn up to here, not only within the
// text area, so that a last line taller than the text area's bottom margin stays readable
// and clickable.
QRect aboutInside(QSize size);

}  // namespace xcr

#endif  // APP_ABOUT_ABOUTBACKGROUND_H
