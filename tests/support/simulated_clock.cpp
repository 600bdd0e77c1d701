// SPDX-FileCopyrightText: 2026 Kalvex developers
//
// SPDX-License-Identifier: MIT

#include "support/simulated_clock.h"

#include <algorithm>

#include "platform/timer.h"

namespace kalvex::testing {

void SimulatedClock::arm(Timer& timer) {
    disarm(timer);
    if (timer.interval() > 0) {
        armed_.push_back({&timer, now_ + timer.interval(), armedCount_++});
    }
}

void SimulatedClock::disarm(Timer& timer) {
    std::erase_if(armed_, [&](const Armed& a) { return a.timer == &timer; });
}

void SimulatedClock::hold() {
    held_ = true;
}

void SimulatedClock::resume() {
    held_ = false;
    for (Armed& a : armed_) {
        a.due = now_ + a.timer->interval();
    }
}

SimulatedClock::Armed* SimulatedClock::nextDue() {
    if (held_) {
        return nullptr;
    }
    auto it = std::min_element(armed_.begin(), armed_.end(), [](const Armed& a, const Armed& b) {
        return a.due != b.due ? a.due < b.due : a.order < b.order;
    });
    return it == armed_.end() ? nullptr : &*it;
}

bool SimulatedClock::step() {
    Armed* next = nextDue();
    if (!next) {
        return false;
    }
    now_ = std::max(now_, next->due);
    Timer* timer = next->timer;
    next->due += timer->interval();
    // The tick may switch timers on and off, which reshapes armed_.
    timer->fire();
    return true;
}

void SimulatedClock::advance(qint64 ms) {
    const qint64 end = now_ + ms;
    for (Armed* next = nextDue(); next && next->due <= end; next = nextDue()) {
        step();
    }
    now_ = end;
}

qint64 SimulatedClock::dueTime(const Timer& timer) const {
    for (const Armed& a : armed_) {
        if (a.timer == &timer) {
            return a.due;
        }
    }
    return -1;
}

}  // namespace kalvex::testing
