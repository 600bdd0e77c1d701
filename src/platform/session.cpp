// SPDX-FileCopyrightText: 2026 Kalvex developers
//
// SPDX-License-Identifier: MIT

#include "platform/session.h"

#include <QByteArray>
#include <QFileInfo>

namespace kalvex {

namespace {

void preferXWayland() {
    if (qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY") || qEnvironmentVariableIsEmpty("DISPLAY") ||
        !qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        return;
    }
    // Qt's -platform argument still wins over this. Should the X server not
    // answer after all, Qt goes on to Wayland.
    qputenv("QT_QPA_PLATFORM", QByteArrayLiteral("xcb;wayland"));
}

void noBusOfOurOwn() {
    if (!qEnvironmentVariableIsEmpty("DBUS_SESSION_BUS_ADDRESS")) {
        return;
    }
    // The libraries look for the session's bus here before they launch one.
    const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (!runtime.isEmpty() && QFileInfo(runtime + QStringLiteral("/bus")).exists()) {
        return;
    }
    // An address of a kind no library knows: connecting fails at once, so
    // screen readers and desktop services stay out of reach, as there is no
    // bus to reach them through.
    qputenv("DBUS_SESSION_BUS_ADDRESS", QByteArrayLiteral("disabled:"));
}

}  // namespace

void prepareSession() {
    preferXWayland();
    noBusOfOurOwn();
}

}  // namespace kalvex
