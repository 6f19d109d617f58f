#include "platform/X11FrameTracker.h"

#include <QCoreApplication>
#include <QWindow>
#include <utility>

#include "platform/X11Connection.h"

namespace xcr {
namespace {

using x11::connection;
using x11::ReplyPtr;

// The child of the root window that holds `window`: the manager's frame, or the window
// itself where no manager framed it. 0 when the server does not answer.
xcb_window_t topLevelAncestor(xcb_connection_t* x, xcb_window_t window) {
    while (true) {
        ReplyPtr<xcb_query_tree_reply_t> tree(
            xcb_query_tree_reply(x, xcb_query_tree(x, window), nullptr), &std::free);
        if (!tree) {
            return 0;
        }
        if (tree->parent == tree->root || tree->parent == XCB_WINDOW_NONE) {
            return window;
        }
        window = tree->parent;
    }
}

QRect geometryOf(xcb_connection_t* x, xcb_window_t window) {
    ReplyPtr<xcb_get_geometry_reply_t> geometry(
        xcb_get_geometry_reply(x, xcb_get_geometry(x, window), nullptr), &std::free);
    if (!geometry) {
        return {};
    }
    const int border = geometry->border_width;
    return QRect(geometry->x, geometry->y, geometry->width + 2 * border,
                 geometry->height + 2 * border);
}

}  // namespace

X11FrameTracker::X11FrameTracker() {
    QCoreApplication::instance()->installNativeEventFilter(this);
}

X11FrameTracker::~X11FrameTracker() {
    if (QCoreApplication::instance() != nullptr) {
        QCoreApplication::instance()->removeNativeEventFilter(this);
    }
}

void X11FrameTracker::follow(const QWindow& window, std::function<void()> moved) {
    moved_ = std::move(moved);
    frameWindow_ = 0;
    frame_ = QRect();
    xcb_connection_t* x = connection();
    if (x == nullptr) {
        return;
    }
    const auto client = static_cast<xcb_window_t>(window.winId());
    const xcb_window_t frame = topLevelAncestor(x, client);
    // An unframed window reports its own moves; selecting on it would replace the
    // toolkit's own event mask there.
    if (frame == 0 || frame == client) {
        return;
    }
    const std::uint32_t mask = XCB_EVENT_MASK_STRUCTURE_NOTIFY;
    xcb_change_window_attributes(x, frame, XCB_CW_EVENT_MASK, &mask);
    frameWindow_ = frame;
    frame_ = geometryOf(x, frame);
}

bool X11FrameTracker::pointerButtonHeld() const {
    xcb_connection_t* x = connection();
    if (x == nullptr) {
        return false;
    }
    const xcb_window_t root = x11::rootWindow(x);
    ReplyPtr<xcb_query_pointer_reply_t> pointer(
        xcb_query_pointer_reply(x, xcb_query_pointer(x, root), nullptr), &std::free);
    constexpr std::uint16_t kButtons = XCB_BUTTON_MASK_1 | XCB_BUTTON_MASK_2 | XCB_BUTTON_MASK_3 |
                                       XCB_BUTTON_MASK_4 | XCB_BUTTON_MASK_5;
    return pointer != nullptr && (pointer->mask & kButtons) != 0;
}

bool X11FrameTracker::nativeEventFilter(const QByteArray& eventType, void* message, qintptr*) {
    if (frameWindow_ == 0 || eventType != "xcb_generic_event_t") {
        return false;
    }
    const auto* event = static_cast<const xcb_generic_event_t*>(message);
    if ((event->response_type & 0x7f) != XCB_CONFIGURE_NOTIFY) {
        return false;
    }
    const auto* configure = static_cast<const xcb_configure_notify_event_t*>(message);
    if (configure->window != frameWindow_) {
        return false;
    }
    const int border = configure->border_width;
    const QRect frame(configure->x, configure->y, configure->width + 2 * border,
                      configure->height + 2 * border);
    // Restacking the frame (another window raised) is no move.
    if (frame != frame_) {
        frame_ = frame;
        if (moved_) {
            moved_();
        }
    }
    return false;
}

}  // namespace xcr
