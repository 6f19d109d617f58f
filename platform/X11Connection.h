#ifndef PLATFORM_X11CONNECTION_H
#define PLATFORM_X11CONNECTION_H

#include <xcb/xcb.h>

#include <QtGui/qguiapplication_platform.h>
#include <QGuiApplication>
#include <cstdlib>
#include <memory>

namespace xcr::x11 {

// A reply of the X server, freed when it goes.
template <typename Reply>
using ReplyPtr = std::unique_ptr<Reply, decltype(&std::free)>;

// Qt's connection to the X server; null where the program does not run on X11.
inline xcb_connection_t* connection() {
    auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    return x11 != nullptr ? x11->connection() : nullptr;
}

// The root window of the connection's first screen: the desktop.
inline xcb_window_t rootWindow(xcb_connection_t* x) {
    return xcb_setup_roots_iterator(xcb_get_setup(x)).data->root;
}

}  // namespace xcr::x11

#endif  // PLATFORM_X11CONNECTION_H
