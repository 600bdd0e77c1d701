// SPDX-FileCopyrightText: 2026 Kalvex developers
//
// SPDX-License-Identifier: MIT

#pragma once

namespace kalvex {

// On a Wayland desktop that also offers an X server (XWayland), opens the
// window as an X11 window, as on an X11 desktop: a Wayland client cannot ask
// to be centred, Qt sends the program's name as the title, and where the
// desktop draws no frame Qt draws its own with minimise and maximise buttons.
// The desktop's own frame on the X11 window shows no title and a close box
// only. A platform the player names with -platform or QT_QPA_PLATFORM wins.
// Call before the application object is made.
void preferXWayland();

}  // namespace kalvex
