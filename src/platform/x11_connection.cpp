// SPDX-FileCopyrightText: 2026 Kalvex developers
//
// SPDX-License-Identifier: MIT

#include "platform/x11_connection.h"

#include <QtGui/qguiapplication_platform.h>
#include <QGuiApplication>

namespace kalvex {

xcb_connection_t* x11Connection() {
    auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    if (!x11 || QGuiApplication::platformName() != QLatin1String("xcb")) {
        return nullptr;
    }
    return x11->connection();
}

}  // namespace kalvex
