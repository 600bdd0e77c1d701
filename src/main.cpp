// SPDX-FileCopyrightText: 2026 Kalvex developers
//
// SPDX-License-Identifier: MIT

#include <QApplication>

#include "platform/clock.h"
#include "platform/dialogs.h"
#include "platform/session.h"
#include "window/game_window.h"

int main(int argc, char* argv[]) {
    kalvex::prepareSession();
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("kalvex"));
    // The Wayland app id: docks match the window to this menu entry.
    QApplication::setDesktopFileName(QStringLiteral("org.kalvex.Kalvex"));
    QApplication::setApplicationDisplayName(QString());
    kalvex::RealClock clock;
    kalvex::QtDialogs dialogs;
    kalvex::GameWindow window(clock, dialogs);
    dialogs.setOwner(&window);
    window.show();
    return QApplication::exec();
}
