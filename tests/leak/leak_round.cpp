// SPDX-FileCopyrightText: 2026 Kalvex developers
//
// SPDX-License-Identifier: MIT

// Start-up, one whole round and the exit, for the leak checker: the program
// must leave nothing of its own unfreed.
#include <QApplication>
#include <QTest>
#include <QTimer>

#include "platform/dialogs.h"
#include "support/simulated_clock.h"
#include "window/game_window.h"

namespace {

// Boxes close at once; the end is the real one.
class ClosingDialogs : public kalvex::Dialogs {
public:
    void showMessage(const QString&, int, const QString&) override {}
    void quit() override { QCoreApplication::exit(0); }
};

void playRound(kalvex::GameWindow& game, kalvex::testing::SimulatedClock& clock) {
    QWindow* handle = game.windowHandle();
    QTest::mouseMove(handle, QPoint(72, 272));  // blue button
    clock.advance(400);
    QTest::mouseMove(handle, QPoint(20, 310));   // the zone
    QTest::mouseMove(handle, QPoint(152, 272));  // red button
    clock.advance(2080);
    QTest::mouseMove(handle, QPoint(20, 311));  // drop
    clock.advance(3000);
    QTest::mouseClick(handle, Qt::LeftButton, Qt::NoModifier, QPoint(112, 266));  // gauge
    clock.advance(5000);
    QTest::mouseClick(handle, Qt::LeftButton, Qt::NoModifier, QPoint(60, 364));   // new game
    QTest::mouseClick(handle, Qt::LeftButton, Qt::NoModifier, QPoint(150, 10));   // banner
    QTest::mouseClick(handle, Qt::LeftButton, Qt::NoModifier, QPoint(165, 364));  // exit
}

}  // namespace

int main(int argc, char* argv[]) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    kalvex::testing::SimulatedClock clock;
    ClosingDialogs dialogs;
    auto game = std::make_unique<kalvex::GameWindow>(clock, dialogs);
    game->show();
    QTimer::singleShot(0, game.get(), [&] { playRound(*game, clock); });
    QTimer::singleShot(20000, [] { QCoreApplication::exit(1); });  // never hang
    const int status = QApplication::exec();
    game.reset();
    return status;
}
