// SPDX-FileCopyrightText: 2026 Kalvex developers
//
// SPDX-License-Identifier: MIT

#include <QApplication>

#include "platform/clock.h"
#include "platform/dialogs.h"
#include "window/frmgame.h"

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("kalvex"));
    QApplication::setApplicationDisplayName(QString());
    kalvex::RealClock clock;
    kalvex::QtDialogs dialogs;
    kalvex::frmGame window(clock, dialogs);
    dialogs.setOwner(&window);
    window.show();
    return QApplication::exec();
}
