#include "platform/X11FrameMargins.h"

#include <QWindow>
#include <chrono>
#include <cstring>
#include <string_view>
#include <thread>

#include "platform/X11Connection.h"

namespace xcr {
namespace {

using namespace std::chrono_literals;
using x11::ReplyPtr;

// Long enough for a manager on a busy machine, short enough not to be felt at start-up
// where no manager runs at all.
constexpr auto kWaitForManager = 150ms;

xcb_atom_t atom(xcb_connection_t* x, std::string_view name) {
    ReplyPtr<xcb_intern_atom_reply_t> reply(
        xcb_intern_atom_reply(
            x, xcb_intern_atom(x, 0, static_cast<std::uint16_t>(name.size()), name.data()),
            nullptr),
        &std::free);
    return reply ? reply->atom : xcb_atom_t{XCB_ATOM_NONE};
}

// The window's _NET_FRAME_EXTENTS (left, right, top, bottom), once the manager set it.
bool readExtents(xcb_connection_t* x, xcb_window_t window, xcb_atom_t extents, QMargins& margins) {
    ReplyPtr<xcb_get_property_reply_t> reply(
        xcb_get_property_reply(x, xcb_get_property(x, 0, window, extents, XCB_ATOM_CARDINAL, 0, 4),
                               nullptr),
        &std::free);
    if (!reply || reply->format != 32 || xcb_get_property_value_length(reply.get()) != 16) {
        return false;
    }
    std::uint32_t values[4];
    std::memcpy(values, xcb_get_property_value(reply.get()), sizeof values);
    margins = QMargins(static_cast<int>(values[0]), static_cast<int>(values[2]),
                       static_cast<int>(values[1]), static_cast<int>(values[3]));
    return true;
}

}  // namespace

QMargins X11FrameMargins::expected(QWindow& window) {
    xcb_connection_t* x = x11::connection();
    if (x == nullptr) {
        return {};
    }
    const auto id = static_cast<xcb_window_t>(window.winId());
    const xcb_atom_t request = atom(x, "_NET_REQUEST_FRAME_EXTENTS");
    const xcb_atom_t extents = atom(x, "_NET_FRAME_EXTENTS");
    if (request == XCB_ATOM_NONE || extents == XCB_ATOM_NONE) {
        return {};
    }
    QMargins margins;
    if (readExtents(x, id, extents, margins)) {
        return margins;
    }
    xcb_client_message_event_t message{};
    message.response_type = XCB_CLIENT_MESSAGE;
    message.format = 32;
    message.window = id;
    message.type = request;
    const xcb_window_t root = x11::rootWindow(x);
    xcb_send_event(x, 0, root,
                   XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY | XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT,
                   reinterpret_cast<const char*>(&message));
    xcb_flush(x);
    const auto deadline = std::chrono::steady_clock::now() + kWaitForManager;
    while (std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(5ms);
        if (readExtents(x, id, extents, margins)) {
            return margins;
        }
    }
    return {};
}

}  // namespace xcr
