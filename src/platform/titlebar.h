// SPDX-FileCopyrightText: 2026 Kalvex developers
//
// SPDX-License-Identifier: MIT

#pragma once

class QWindow;

namespace kalvex {

// Leaves the title bar empty on X11. Qt gives a window without a title the
// program's name, which every window manager shows; this writes empty
// _NET_WM_NAME and WM_NAME on the shown window instead. WM_CLASS, which task
// bars and menus use, stays. Elsewhere it does nothing.
void clearTitleBar(QWindow* window);

}  // namespace kalvex
