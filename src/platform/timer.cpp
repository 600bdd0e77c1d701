// SPDX-FileCopyrightText: 2026 Kalvex developers
//
// SPDX-License-Identifier: MIT

#include "platform/timer.h"

#include "platform/clock.h"

namespace kalvex {

Timer::Timer(Clock& clock, int intervalMs, bool enabled) : clock_(clock), interval_(intervalMs) {
    setEnabled(enabled);
}

Timer::~Timer() {
    clock_.disarm(*this);
}

void Timer::setEnabled(bool enabled) {
    if (enabled == enabled_) {
        return;
    }
    enabled_ = enabled;
    if (enabled_) {
        clock_.arm(*this);
    } else {
        clock_.disarm(*this);
    }
}

void Timer::fire() {
    if (enabled_ && onTick) {
        onTick();
    }
}

}  // namespace kalvex
