#include "app/about/AboutBackground.h"

#include <QPainter>
#include <cmath>

namespace xcr {
namespace {

constexpr int kBands = 40;
constexpr QColor kGradientStart{166, 202, 240};
constexpr QColor kGradientEnd{255, 255, 255};
constexpr QColor kShadow{128, 128, 128};
constexpr QColor kLight{255, 255, 255};

// The nearest integer, a half going to the even neighbour.
int nearestEven(double value) {
    const double below = std::floor(value);
    const double fraction = value - below;
    const auto whole = static_cast<int>(below);
    if (fraction > 0.5) {
        return whole + 1;
    }
    if (fraction < 0.5) {
        return whole;
    }
    return whole % 2 == 0 ? whole : whole + 1;
}

int bandComponent(int start, int end, int band) {
    return start + nearestEven(static_cast<double>(band) * (end - start) / kBands);
}

// Bands are one pixel wider than their step, so each overlaps the next by one pixel.
void paintGradient(QPainter& painter, QSize size) {
    const double bandWidth = static_cast<double>(size.width()) / kBands;
    for (int band = 0; band < kBands; ++band) {
        const QColor colour(bandComponent(kGradientStart.red(), kGradientEnd.red(), band),
                            bandComponent(kGradientStart.green(), kGradientEnd.green(), band),
                            bandComponent(kGradientStart.blue(), kGradientEnd.blue(), band));
        const int left = nearestEven(band * bandWidth);
        painter.fillRect(QRect(left, 0, nearestEven(bandWidth) + 1, size.height()), colour);
    }
}

void paintFrame(QPainter& painter, QSize size, const QColor& buttonFace) {
    const int x = size.width();
    const int y = size.height();
    const int b = kAboutBorder;
    painter.fillRect(QRect(0, 0, x, b), buttonFace);
    painter.fillRect(QRect(x - b, 0, b, y), buttonFace);
    painter.fillRect(QRect(0, y - b, x, b), buttonFace);
    painter.fillRect(QRect(0, 0, b, y), buttonFace);

    painter.fillRect(QRect(0, 0, 1, y), kLight);
    painter.fillRect(QRect(0, 0, x, 1), kLight);
    painter.fillRect(QRect(x - 1, 0, 1, y), kShadow);
    painter.fillRect(QRect(0, y - 1, x, 1), kShadow);

    const int innerWidth = x - 2 * b + 1;
    const int innerHeight = y - 2 * b + 1;
    painter.fillRect(QRect(b, b, 1, innerHeight), kShadow);
    painter.fillRect(QRect(b, b, innerWidth, 1), kShadow);
    painter.fillRect(QRect(x - b, b, 1, innerHeight), kLight);
    painter.fillRect(QRect(b, y - b, innerWidth, 1), kLight);
}

}  // namespace

void paintAboutBackground(QPainter& painter, QSize size, const QColor& buttonFace) {
    paintGradient(painter, size);
    paintFrame(painter, size, buttonFace);
}

QRect aboutTextArea(QSize size) {
    const QRect inside = QRect(QPoint(0, 0), size)
                             .adjusted(kAboutBorder, kAboutBorder, -kAboutBorder, -kAboutBorder);
    return inside.adjusted(6, 2, -4, -8);
}

QRect aboutInside(QSize size) {
    return QRect(QPoint(0, 0), size)
        .adjusted(kAboutBorder + 1, kAboutBorder + 1, -kAboutBorder, -kAboutBorder);
}

}  // namespace xcr
