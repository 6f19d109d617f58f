#include "app/about/AboutPopup.h"

#include "app/about/AboutBackground.h"
#include "app/about/AboutText.h"
#include "app/about/MarkupParser.h"
#include "platform/EventPump.h"
#include "platform/ScreenArea.h"
#include "platform/TickClock.h"

namespace xcr {

AboutPopup::AboutPopup(QWidget* owner, ScreenArea& screen, TickClock& clock, EventPump& pump,
                       NamedPictures pictures, AboutWindow::LinkHandler onLink)
    : owner_(owner),
      screen_(screen),
      clock_(clock),
      pump_(pump),
      pictures_(std::move(pictures)),
      onLink_(std::move(onLink)),
      font_(QStringLiteral("MS Sans Serif"), 8) {
    font_.setStyleHint(QFont::SansSerif);
}

void AboutPopup::rollUp() {
    const int height = AboutWindow::kSize.height();
    const auto bottomLineOf = [](const QRect& area) { return area.y() + area.height(); };
    const QRect area = screen_.fullScreenClientArea();
    position_ = QPoint(area.x() + area.width() - AboutWindow::kSize.width() - kRightGap,
                       bottomLineOf(area));
    show();
    // The position is shared with any roll-up started while this one waits: it then finds
    // the popup already in its final place.
    for (int bottomLine = bottomLineOf(area); bottomLine < position_.y() + height;
         bottomLine = bottomLineOf(screen_.fullScreenClientArea())) {
        waitOneStep();
        position_.setY(std::max(position_.y() - kStep, bottomLine - height));
        if (window_ != nullptr) {
            window_->move(position_);
        }
    }
}

void AboutPopup::show() {
    if (window_ == nullptr) {
        const MarkupLayout layout(parseMarkup(aboutText()),
                                  aboutTextArea(AboutWindow::kSize).width(), font_, pictures_);
        window_ = new AboutWindow(owner_, layout, onLink_);
    }
    window_->hide();
    window_->resetHover();
    window_->move(position_);
    window_->show();
}

void AboutPopup::hide() {
    if (window_ != nullptr) {
        window_->hide();
    }
}

// Spins on the event queue rather than sleeping, so the program stays responsive; the
// unsigned difference stays right when the tick count wraps.
void AboutPopup::waitOneStep() {
    const std::uint32_t start = clock_.ticks();
    do {
        pump_.handlePending();
    } while (clock_.ticks() - start < kStepMilliseconds);
}

}  // namespace xcr
