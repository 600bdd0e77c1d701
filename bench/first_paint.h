// SPDX-FileCopyrightText: 2026 Kalvex developers
//
// SPDX-License-Identifier: MIT

#pragma once

#include <QCoreApplication>
#include <QEvent>
#include <QObject>
#include <QTimer>
#include <cstdio>
#include <ctime>

// Prints CLOCK_REALTIME (ns) when the watched window first paints, and, when
// asked, ends the program then. Qt only: the label window links nothing else.
class FirstPaint : public QObject {
public:
    explicit FirstPaint(bool quit) : quit_(quit) {}
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Paint && !seen_) {
            seen_ = true;
            timespec now{};
            clock_gettime(CLOCK_REALTIME, &now);
            std::printf("%lld\n", static_cast<long long>(now.tv_sec) * 1000000000LL + now.tv_nsec);
            std::fflush(stdout);
            if (quit_) {
                QTimer::singleShot(0, qApp, &QCoreApplication::quit);
            }
        }
        return QObject::eventFilter(watched, event);
    }

private:
    bool quit_;
    bool seen_ = false;
};
