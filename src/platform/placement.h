// SPDX-FileCopyrightText: 2026 Kalvex developers
//
// SPDX-License-Identifier: MIT

#pragma once

#include <functional>

class QWidget;

namespace kalvex {

// Shows a top-level window for the first time centred, frame included,
// where it first appears: on the window `over` (its frame included), or on
// the screen without one. `show` is the window's own showing
// (QWidget::setVisible(true)). On X11 the window manager draws the frame; it
// is asked to centre the frame on the window's centre.
void showCentred(QWidget& window, const QWidget* over, const std::function<void()>& show);

}  // namespace kalvex
