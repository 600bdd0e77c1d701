// Start-up cost of the music, measured on the real window:
//   music_startup [RUNS]   prints the median and best time from main() to the window's
//                          first paint, with mid.mid beside the program and
//                          without it, plus what the three start commands
//                          cost on the GUI thread.
// Each run is a fresh process (the child modes below); "with" copies the
// repository's assets/mid.mid next to this program, "without" removes it.
#include <QApplication>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <vector>

#include "music/mmcontrol.h"
#include "platform/clock.h"
#include "platform/dialogs.h"
#include "window/frmgame.h"

namespace {

QElapsedTimer sinceMain;

class FirstPaint : public QObject {
public:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Paint && !seen_) {
            seen_ = true;
            std::printf("%.2f\n", sinceMain.nsecsElapsed() / 1e6);
            std::fflush(stdout);
            QTimer::singleShot(0, qApp, &QCoreApplication::quit);
        }
        return QObject::eventFilter(watched, event);
    }

private:
    bool seen_ = false;
};

int firstFrame(int argc, char** argv) {
    QApplication app(argc, argv);
    kalvex::RealClock clock;
    kalvex::QtDialogs dialogs;
    kalvex::frmGame window(clock, dialogs);
    FirstPaint filter;
    window.installEventFilter(&filter);
    window.show();
    return QApplication::exec();
}

// The GUI thread's share: what Form_Load spends on the music.
int commands(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const QString file = QCoreApplication::applicationDirPath() + QStringLiteral("/mid.mid");
    kalvex::MMControl player;
    QElapsedTimer t;
    t.start();
    player.SetProperty(kalvex::MMControl::kFileName, file);
    player.SetProperty(kalvex::MMControl::kCommand, QStringLiteral("open"));
    player.SetProperty(kalvex::MMControl::kCommand, QStringLiteral("play"));
    std::printf("%.3f\n", t.nsecsElapsed() / 1e6);
    return 0;
}

double median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v.empty() ? 0 : v[v.size() / 2];
}

// The quickest run: what is left when nothing else competes for the cores.
double best(const std::vector<double>& v) {
    return v.empty() ? 0 : *std::min_element(v.begin(), v.end());
}

double runChild(const QString& mode) {
    QProcess p;
    p.setProcessChannelMode(QProcess::SeparateChannels);
    p.start(QCoreApplication::applicationFilePath(), {mode});
    p.waitForFinished(30'000);
    return p.readAllStandardOutput().trimmed().toDouble();
}

}  // namespace

int main(int argc, char** argv) {
    sinceMain.start();
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    if (argc == 2 && QByteArray(argv[1]) == "--first-frame") {
        return firstFrame(argc, argv);
    }
    if (argc == 2 && QByteArray(argv[1]) == "--commands") {
        return commands(argc, argv);
    }

    QCoreApplication app(argc, argv);
    const int runs = argc > 1 ? std::max(1, QByteArray(argv[1]).toInt()) : 15;
    const QString beside = QCoreApplication::applicationDirPath() + QStringLiteral("/mid.mid");
    const QString source = QStringLiteral(KALVEX_SOURCE_DIR "/assets/mid.mid");
    std::vector<double> with, without, cmdWith, cmdWithout;
    for (int i = 0; i < runs; ++i) {
        QFile::remove(beside);
        without.push_back(runChild(QStringLiteral("--first-frame")));
        cmdWithout.push_back(runChild(QStringLiteral("--commands")));
        QFile::copy(source, beside);
        with.push_back(runChild(QStringLiteral("--first-frame")));
        cmdWith.push_back(runChild(QStringLiteral("--commands")));
    }
    QFile::remove(beside);
    std::printf("first frame, median of %d runs: with music %.1f ms, without %.1f ms (%+.1f%%)\n",
                runs, median(with), median(without),
                100.0 * (median(with) - median(without)) / median(without));
    std::printf("first frame, best run: with music %.1f ms, without %.1f ms (%+.1f%%)\n",
                best(with), best(without), 100.0 * (best(with) - best(without)) / best(without));
    std::printf("start commands on the GUI thread: with music %.3f ms, without %.3f ms\n",
                median(cmdWith), median(cmdWithout));
    return 0;
}
