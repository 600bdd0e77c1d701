// SPDX-FileCopyrightText: 2026 Kalvex developers
//
// SPDX-License-Identifier: MIT

#include "platform/clock.h"

#include <QTimer>

#include "platform/timer.h"

namespace kalvex {

RealClock::RealClock() = default;
RealClock::~RealClock() = default;

void RealClock::arm(Timer& timer) {
    auto& qtimer = running_[&timer];
    if (!qtimer) {
        qtimer = std::make_unique<QTimer>();
        qtimer->setTimerType(Qt::PreciseTimer);
        QObject::connect(qtimer.get(), &QTimer::timeout, qtimer.get(), [&timer] { timer.fire(); });
    }
    // A timer with no period never ticks, as a zero interval means "off".
    if (timer.interval() <= 0) {
        return;
    }
    if (held_) {
        paused_.insert(&timer);
    } else {
        qtimer->start(timer.interval());
    }
}

void RealClock::disarm(Timer& timer) {
    paused_.erase(&timer);
    if (auto it = running_.find(&timer); it != running_.end()) {
        it->second->stop();
    }
}

void RealClock::hold() {
    held_ = true;
    for (auto& [timer, qtimer] : running_) {
        if (qtimer->isActive()) {
            qtimer->stop();
            paused_.insert(timer);
        }
    }
}

void RealClock::resume() {
    held_ = false;
    for (Timer* timer : paused_) {
        running_.at(timer)->start(timer->interval());
    }
    paused_.clear();
}

}  // namespace kalvex
