// SPDX-FileCopyrightText: 2026 Kalvex developers
//
// SPDX-License-Identifier: MIT

// Measures the game's window against an empty Qt window in the same build:
//   kalvex_bench first-frame game|empty   prints CLOCK_REALTIME (ns) at the first paint
//   kalvex_bench idle game|empty SECONDS  stays open that long; the empty window
//                                         runs one hidden 30 ms timer, like the idle game
//   kalvex_bench music game SECONDS       idle, and prints the first paint's time as
//                                         first-frame does, for the time to the first note
//   kalvex_bench round game SECONDS       a scripted player plays a round every 6 s
//   kalvex_bench timers game|empty SECONDS  30, 50 and 80 ms timers side by side; prints
//                                         "interval mean-period p99-deviation" in ms
#include <QApplication>
#include <QElapsedTimer>
#include <QTimer>
#include <QWidget>
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <ctime>
#include <memory>
#include <vector>

#include "platform/clock.h"
#include "platform/dialogs.h"
#include "window/game_window.h"

#include "first_paint.h"

namespace {

// Tick times of one periodic timer, in nanoseconds since the run began.
struct TickLog {
    int interval;
    std::vector<qint64> at;

    void report() const {
        std::vector<double> periods, deviations;
        for (std::size_t i = 1; i < at.size(); ++i) {
            periods.push_back((at[i] - at[i - 1]) / 1e6);
            deviations.push_back(std::abs(periods.back() - interval));
        }
        if (periods.empty()) {
            return;
        }
        double sum = 0;
        for (double p : periods) {
            sum += p;
        }
        std::sort(deviations.begin(), deviations.end());
        const double p99 =
            deviations[std::min(deviations.size() - 1, deviations.size() * 99 / 100)];
        std::printf("%d %.4f %.3f\n", interval, sum / periods.size(), p99);
    }
};

// Plays a round every six seconds through the elements' pointer hooks, as
// the window's hit test calls them, on the real timers.
void scriptRounds(kalvex::GameWindow& game) {
    auto over = [&game](const char* name) { game.element(name).onMouseMove(); };
    auto click = [&game](const char* name) { game.element(name).onClick(); };
    auto* cycle = new QTimer(&game);
    auto play = [&game, over, click] {
        click("newGameButton");
        over("upButton");
        QTimer::singleShot(500, &game, [over] { over("hoverZone"); });
        QTimer::singleShot(600, &game, [over] { over("rightButton"); });
        QTimer::singleShot(2600, &game, [over] { over("hoverZone"); });
        QTimer::singleShot(3000, &game, [&game, click] {
            if (game.element("gaugeButton").isVisible()) {
                click("gaugeButton");
            }
        });
    };
    QObject::connect(cycle, &QTimer::timeout, &game, play);
    cycle->start(6000);
    play();
}

}  // namespace

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    if (argc < 3) {
        std::fprintf(stderr,
                     "usage: kalvex_bench first-frame|idle|round|timers|music game|empty "
                     "[seconds]\n");
        return 2;
    }
    const QString mode = argv[1];
    const bool game = QString(argv[2]) == "game";

    kalvex::RealClock clock;
    kalvex::QtDialogs dialogs;
    std::unique_ptr<QWidget> window;
    QTimer emptyTick;
    if (game) {
        window = std::make_unique<kalvex::GameWindow>(clock, dialogs);
    } else {
        window = std::make_unique<QWidget>();
        window->setFixedSize(224, 384);
        emptyTick.setTimerType(Qt::PreciseTimer);
        emptyTick.start(30);
    }
    FirstPaint firstPaint(mode == "first-frame");
    QElapsedTimer since;
    since.start();
    std::vector<TickLog> logs;
    std::vector<std::unique_ptr<kalvex::Timer>> timers;
    std::vector<std::unique_ptr<QTimer>> qtimers;
    if (mode == "first-frame" || mode == "music") {
        window->installEventFilter(&firstPaint);
    }
    if (mode != "first-frame") {
        if (mode == "round" && game) {
            scriptRounds(static_cast<kalvex::GameWindow&>(*window));
        }
        if (mode == "timers") {
            emptyTick.stop();
            logs = {{30, {}}, {50, {}}, {80, {}}};
            for (TickLog& log : logs) {
                auto record = [&log, &since] { log.at.push_back(since.nsecsElapsed()); };
                if (game) {
                    // The game's own kind of timer, beside its running window.
                    timers.push_back(std::make_unique<kalvex::Timer>(clock, log.interval, false));
                    timers.back()->onTick = record;
                    timers.back()->setEnabled(true);
                } else {
                    qtimers.push_back(std::make_unique<QTimer>());
                    qtimers.back()->setTimerType(Qt::PreciseTimer);
                    QObject::connect(qtimers.back().get(), &QTimer::timeout, record);
                    qtimers.back()->start(log.interval);
                }
            }
        }
        const int seconds = argc > 3 ? std::atoi(argv[3]) : 10;
        QTimer::singleShot(seconds * 1000, &app, &QCoreApplication::quit);
    }
    window->show();
    const int status = QApplication::exec();
    for (const TickLog& log : logs) {
        log.report();
    }
    return status;
}
