// SPDX-FileCopyrightText: 2026 Kalvex developers
//
// SPDX-License-Identifier: MIT

#pragma once

namespace kalvex {

// Prepares the process's environment for the desktop it starts on. Call
// before the application object is made.
//
// On a Wayland desktop that also offers an X server (XWayland), opens the
// window as an X11 window, as on an X11 desktop: a Wayland client cannot ask
// to be centred, Qt sends the program's name as the title, and where the
// desktop draws no frame Qt draws its own with minimise and maximise buttons.
// The desktop's own frame on the X11 window shows no title and a close box
// only. A platform the player names with -platform or QT_QPA_PLATFORM wins.
//
// With no session bus, keeps the D-Bus libraries from starting one: they
// would launch a bus daemon that writes under ~/.dbus and outlives the game.
void prepareSession();

}  // namespace kalvex
