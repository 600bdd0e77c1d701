// SPDX-FileCopyrightText: 2026 Kalvex developers
//
// SPDX-License-Identifier: MIT

// The reference the game's memory is judged against: a window of the game's
// size with one Korean label, in a program linked to Qt alone, so that
// nothing the game links makes the reference grow with it.
//   label_window first-frame   prints CLOCK_REALTIME (ns) at the first paint, then quits
//   label_window idle SECONDS  stays open that long
// Like the empty window of kalvex_bench, it runs one hidden 30 ms timer.
#include <QApplication>
#include <QFont>
#include <QLabel>
#include <QTimer>
#include <QWidget>
#include <cstdio>
#include <cstdlib>
#include <ctime>

#include "first_paint.h"

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    const QString mode = argc > 1 ? argv[1] : "";
    if (mode != "first-frame" && mode != "idle") {
        std::fprintf(stderr, "usage: label_window first-frame|idle [seconds]\n");
        return 2;
    }
    QWidget window;
    window.setFixedSize(224, 384);
    // The first text a process draws pays for setting up Qt's fonts.
    auto* label = new QLabel(QStringLiteral("파란색 버튼 위로"), &window);
    QFont font;
    font.setFamilies({QStringLiteral("Gulim"), QStringLiteral("NanumGothic")});
    font.setPixelSize(12);
    label->setFont(font);
    QTimer tick;
    tick.setTimerType(Qt::PreciseTimer);
    tick.start(30);
    FirstPaint firstPaint(true);
    if (mode == "first-frame") {
        window.installEventFilter(&firstPaint);
    } else {
        const int seconds = argc > 2 ? std::atoi(argv[2]) : 10;
        QTimer::singleShot(seconds * 1000, &app, &QCoreApplication::quit);
    }
    window.show();
    return QApplication::exec();
}
