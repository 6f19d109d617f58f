#include "app/about/AboutWindow.h"

#include <QMouseEvent>
#include <QPainter>

#include "app/about/AboutBackground.h"

namespace xcr {

AboutWindow::AboutWindow(QWidget* owner, const MarkupLayout& layout, LinkHandler onLink)
    : QWidget(owner, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowDoesNotAcceptFocus),
      owner_(owner),
      layout_(layout),
      onLink_(std::move(onLink)),
      textArea_(aboutTextArea(kSize)),
      inside_(aboutInside(kSize)) {
    setAttribute(Qt::WA_ShowWithoutActivating);
    setFocusPolicy(Qt::NoFocus);
    setFixedSize(kSize);
    setMouseTracking(true);
}

void AboutWindow::resetHover() {
    hovered_ = -1;
    unsetCursor();
}

void AboutWindow::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    paintAboutBackground(painter, size(), palette().color(QPalette::Button));
    painter.setClipRect(inside_);
    painter.translate(textArea_.topLeft());
    layout_.paint(painter, palette().color(QPalette::WindowText), hovered_);
}

void AboutWindow::mouseMoveEvent(QMouseEvent* event) {
    hover(linkAt(event->position().toPoint()));
}

// The link is followed on the press already; then, link or not, the owner gets the focus.
void AboutWindow::mousePressEvent(QMouseEvent* event) {
    const int link = linkAt(event->position().toPoint());
    if (link >= 0) {
        onLink_(layout_.links()[static_cast<std::size_t>(link)].value);
    }
    if (owner_ != nullptr) {
        owner_->activateWindow();
    }
    repaintLink(hovered_);
}

void AboutWindow::leaveEvent(QEvent*) {
    hover(-1);
}

int AboutWindow::linkAt(QPoint point) const {
    return inside_.contains(point) ? layout_.linkAt(point - textArea_.topLeft()) : -1;
}

void AboutWindow::hover(int link) {
    if (link >= 0) {
        setCursor(Qt::PointingHandCursor);
    } else {
        setCursor(Qt::ArrowCursor);
    }
    if (link != hovered_) {
        repaintLink(hovered_);
        repaintLink(link);
        hovered_ = link;
    }
}

void AboutWindow::repaintLink(int link) {
    if (link < 0) {
        return;
    }
    for (const QRect& rect : layout_.links()[static_cast<std::size_t>(link)].rects) {
        update(rect.translated(textArea_.topLeft()));
    }
}

}  // namespace xcr
