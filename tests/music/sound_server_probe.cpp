// SPDX-FileCopyrightText: 2026 Kalvex developers
//
// SPDX-License-Identifier: MIT

// The game's window with its music, for the sound-server test: it measures
// how late the GUI thread's 30 ms ticks come and how long a frame takes to
// draw. A line on stdin starts the measurement afresh (until then the window
// runs only its own timers); end of input prints "TICK_GAP_MS FRAME_MS", the
// largest of each, and quits.
#include <unistd.h>
#include <QApplication>
#include <QElapsedTimer>
#include <QSocketNotifier>
#include <QTimer>
#include <algorithm>
#include <cstdio>

#include "platform/clock.h"
#include "platform/dialogs.h"
#include "window/game_window.h"

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    kalvex::RealClock clock;
    kalvex::QtDialogs dialogs;
    kalvex::GameWindow window(clock, dialogs);
    window.show();

    QElapsedTimer sinceTick;
    double worstGap = 0, worstFrame = 0;
    QTimer tick;
    tick.setTimerType(Qt::PreciseTimer);
    QObject::connect(&tick, &QTimer::timeout, [&] {
        worstGap = std::max(worstGap, sinceTick.nsecsElapsed() / 1e6);
        sinceTick.start();
        QElapsedTimer frame;
        frame.start();
        window.repaint();
        worstFrame = std::max(worstFrame, frame.nsecsElapsed() / 1e6);
    });

    QSocketNotifier input(STDIN_FILENO, QSocketNotifier::Read);
    QObject::connect(&input, &QSocketNotifier::activated, [&] {
        char buffer[256];
        if (read(STDIN_FILENO, buffer, sizeof buffer) > 0) {
            worstGap = worstFrame = 0;
            tick.start(30);
            sinceTick.start();
            return;
        }
        std::printf("%.1f %.1f\n", worstGap, worstFrame);
        std::fflush(stdout);
        QCoreApplication::quit();
    });
    return QApplication::exec();
}
