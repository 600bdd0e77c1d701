// SPDX-FileCopyrightText: 2026 Kalvex developers
//
// SPDX-License-Identifier: MIT

#include "platform/placement.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>
#include <array>
#include <cstdlib>
#include <cstring>

#include "platform/x11_connection.h"

namespace kalvex {

namespace {

// WM_NORMAL_HINTS as the ICCCM lays it out: flags, then 17 fields, the last
// of them the window's gravity.
constexpr std::size_t kHintFields = 18;
constexpr std::size_t kGravityField = 17;
constexpr uint32_t kGravityFlag = 1u << 9;  // PWinGravity

// Keeps the size limits and the position Qt wrote and asks for centre gravity.
void askCentreGravity(xcb_connection_t* connection, xcb_window_t id) {
    const xcb_get_property_cookie_t cookie = xcb_get_property(
        connection, 0, id, XCB_ATOM_WM_NORMAL_HINTS, XCB_ATOM_WM_SIZE_HINTS, 0, kHintFields);
    xcb_get_property_reply_t* reply = xcb_get_property_reply(connection, cookie, nullptr);
    if (reply && reply->format == 32 &&
        xcb_get_property_value_length(reply) == static_cast<int>(kHintFields * 4)) {
        std::array<uint32_t, kHintFields> hints{};
        std::memcpy(hints.data(), xcb_get_property_value(reply), kHintFields * 4);
        hints[0] |= kGravityFlag;
        hints[kGravityField] = XCB_GRAVITY_CENTER;
        xcb_change_property(connection, XCB_PROP_MODE_REPLACE, id, XCB_ATOM_WM_NORMAL_HINTS,
                            XCB_ATOM_WM_SIZE_HINTS, 32, kHintFields, hints.data());
        // A window manager that is also the Wayland compositor is not held by
        // the server (KWin and Mutter on XWayland), and may have placed the
        // window by Qt's hints already: asked again for the same place, now
        // with centre gravity, it moves the window there before its first
        // picture. Elsewhere the window is there already.
        const std::array<uint32_t, 2> place{hints[1], hints[2]};
        xcb_configure_window(connection, id, XCB_CONFIG_WINDOW_X | XCB_CONFIG_WINDOW_Y,
                             place.data());
    }
    std::free(reply);
}

// The spot for the window's top-left corner, as move() takes it, that puts
// its centre on the centre of `over`, or of the screen.
QPoint centredSpot(const QWidget& window, const QWidget* over) {
    QPoint centre;
    if (over) {
        centre = over->frameGeometry().center();
    } else if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        centre = screen->availableGeometry().center();
    } else {
        return window.pos();
    }
    // Where the platform knows the frame before showing (offscreen, Qt's own
    // Wayland frame), pos() and move() are the frame's; on X11 the frame is
    // the window manager's, unknown until the window shows.
    QRect area = window.frameGeometry();
    area.moveCenter(centre);
    return area.topLeft();
}

}  // namespace

void showCentred(QWidget& window, const QWidget* over, const std::function<void()>& show) {
    // The window itself goes to the centre: that is where it shows with no
    // window manager, and the point the frame is centred on with one. Placed
    // before it shows, it is not placed again by Qt's own rule for dialogs.
    window.move(centredSpot(window, over));
    // Centre gravity (ICCCM 4.1.2.3) has the window manager put the frame's
    // centre on the window's centre, whatever frame it draws. Asking for the
    // frame's extents before mapping (_NET_REQUEST_FRAME_EXTENTS) would wait
    // for an answer that KWin never gives, nor a server without a window
    // manager; the gravity is read with the map request and needs no answer.
    // Qt writes its own hints (north-west gravity) just before it maps the
    // window: holding the server until ours replace them keeps the window
    // manager from reading Qt's.
    xcb_connection_t* connection = x11Connection();
    const auto id = connection ? static_cast<xcb_window_t>(window.winId()) : xcb_window_t{0};
    if (connection) {
        xcb_grab_server(connection);
    }
    show();
    // A message box sizes itself as it shows.
    if (const QPoint spot = centredSpot(window, over); spot != window.pos()) {
        window.move(spot);
    }
    if (connection) {
        askCentreGravity(connection, id);
        xcb_ungrab_server(connection);
        xcb_flush(connection);
    }
}

}  // namespace kalvex
