// SPDX-FileCopyrightText: 2026 Kalvex developers
//
// SPDX-License-Identifier: MIT

#include "platform/session.h"

#include <QByteArray>
#include <cstring>

namespace kalvex {

namespace {

// Qt reads "-platform name" and "--platform name".
bool platformNamed(int argc, char* argv[]) {
    for (int i = 1; i < argc; ++i) {
        const char* arg = argv[i];
        if (std::strcmp(arg, "-platform") == 0 || std::strcmp(arg, "--platform") == 0) {
            return true;
        }
    }
    return !qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM");
}

}  // namespace

void preferXWayland(int argc, char* argv[]) {
    if (qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY") || qEnvironmentVariableIsEmpty("DISPLAY") ||
        platformNamed(argc, argv)) {
        return;
    }
    // Should the X server not answer after all, Qt goes on to Wayland.
    qputenv("QT_QPA_PLATFORM", QByteArrayLiteral("xcb;wayland"));
}

}  // namespace kalvex
