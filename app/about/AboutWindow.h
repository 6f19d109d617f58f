#ifndef APP_ABOUT_ABOUTWINDOW_H
#define APP_ABOUT_ABOUTWINDOW_H

#include <QWidget>
#include <functional>

#include "app/about/MarkupLayout.h"

namespace xcr {

// The About popup's own window: borderless, without a task-bar entry, above its owner, and
// never keeping the keyboard focus. Paints the gradient, the frame and the laid-out text;
// a press on a link hands the link's value to the link handler.
class AboutWindow final : public QWidget {
    Q_OBJECT

public:
    using LinkHandler = std::function<void(const QString&)>;

    static constexpr QSize kSize{200, 224};

    AboutWindow(QWidget* owner, const MarkupLayout& layout, LinkHandler onLink);

    const MarkupLayout& layout() const { return layout_; }
    int hoveredLink() const { return hovered_; }

    // Forgets the hovered link, as a fresh show does.
    void resetHover();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;

private:
    int linkAt(QPoint point) const;
    void hover(int link);
    void repaintLink(int link);

    QWidget* owner_;
    MarkupLayout layout_;
    LinkHandler onLink_;
    QRect textArea_;
    QRect inside_;
    int hovered_ = -1;
};

}  // namespace xcr

#endif  // APP_ABOUT_ABOUTWINDOW_H
