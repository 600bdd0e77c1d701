// Measures the game's window against an empty Qt window in the same build:
//   kalvex_bench first-frame game|empty   prints CLOCK_REALTIME (ns) at the first paint
//   kalvex_bench idle game|empty SECONDS  stays open that long; the empty window
//                                         runs one hidden 30 ms timer, like the idle game
#include <QApplication>
#include <QTimer>
#include <QWidget>
#include <cstdio>
#include <ctime>
#include <memory>

#include "platform/clock.h"
#include "platform/dialogs.h"
#include "window/frmgame.h"

namespace {

class FirstPaint : public QObject {
public:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Paint && !seen_) {
            seen_ = true;
            timespec now{};
            clock_gettime(CLOCK_REALTIME, &now);
            std::printf("%lld\n", static_cast<long long>(now.tv_sec) * 1000000000LL + now.tv_nsec);
            std::fflush(stdout);
            QTimer::singleShot(0, qApp, &QCoreApplication::quit);
        }
        return QObject::eventFilter(watched, event);
    }

private:
    bool seen_ = false;
};

}  // namespace

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    if (argc < 3) {
        std::fprintf(stderr, "usage: kalvex_bench first-frame|idle game|empty [seconds]\n");
        return 2;
    }
    const QString mode = argv[1];
    const bool game = QString(argv[2]) == "game";

    kalvex::RealClock clock;
    kalvex::QtDialogs dialogs;
    std::unique_ptr<QWidget> window;
    QTimer emptyTick;
    if (game) {
        window = std::make_unique<kalvex::frmGame>(clock, dialogs);
    } else {
        window = std::make_unique<QWidget>();
        window->setFixedSize(224, 384);
        emptyTick.setTimerType(Qt::PreciseTimer);
        emptyTick.start(30);
    }
    FirstPaint firstPaint;
    if (mode == "first-frame") {
        window->installEventFilter(&firstPaint);
    } else {
        const int seconds = argc > 3 ? std::atoi(argv[3]) : 10;
        QTimer::singleShot(seconds * 1000, &app, &QCoreApplication::quit);
    }
    window->show();
    return QApplication::exec();
}
