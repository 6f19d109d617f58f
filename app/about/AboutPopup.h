#ifndef APP_ABOUT_ABOUTPOPUP_H
#define APP_ABOUT_ABOUTPOPUP_H

#include <QFont>
#include <QPoint>
#include <QPointer>

#include "app/about/AboutWindow.h"
#include "app/about/NamedPictures.h"

namespace xcr {

class EventPump;
class ScreenArea;
class TickClock;

// The About popup: its content and look, and the roll-up that raises its window from the
// bottom of the screen. The window is made on the first show and ends with its owner.
class AboutPopup {
public:
    static constexpr int kStep = 20;
    static constexpr std::uint32_t kStepMilliseconds = 50;
    static constexpr int kRightGap = 20;

    AboutPopup(QWidget* owner, ScreenArea& screen, TickClock& clock, EventPump& pump,
               NamedPictures pictures, AboutWindow::LinkHandler onLink);

    // Rises from the bottom of the full-screen client area in steps, handling window events
    // in between, and returns when the popup stands on that bottom line. Another roll-up
    // run in between starts the popup from the bottom again and leaves this one nothing to
    // do; a hide in between leaves the popup hidden while it still rises.
    void rollUp();

    void show();
    void hide();

    // nullptr before the first show.
    AboutWindow* window() const { return window_; }
    QPoint position() const { return position_; }

private:
    void waitOneStep();

    QWidget* owner_;
    ScreenArea& screen_;
    TickClock& clock_;
    EventPump& pump_;
    NamedPictures pictures_;
    AboutWindow::LinkHandler onLink_;
    QFont font_;
    QPointer<AboutWindow> window_;
    QPoint position_;
};

}  // namespace xcr

#endif  // APP_ABOUT_ABOUTPOPUP_H
