// SPDX-FileCopyrightText: 2026 Kalvex developers
//
// SPDX-License-Identifier: MIT

#pragma once

#include <xcb/xcb.h>

namespace kalvex {

// Qt's own connection to the X server, or null when the window system is not
// X11. Other platforms may offer Qt's X11 interface without a connection.
xcb_connection_t* x11Connection();

}  // namespace kalvex
