// SPDX-FileCopyrightText: 2026 Kalvex developers
//
// SPDX-License-Identifier: MIT

#pragma once

#include <functional>

namespace kalvex {

class Clock;

// A periodic trigger with an Interval in milliseconds and an Enabled switch.
// Switching on from off starts a fresh period; switching on a timer that
// already runs keeps its period (the steering re-enables its timer on every
// pointer move and must not stall); switching off stops further ticks at once.
class Timer {
public:
    Timer(Clock& clock, int intervalMs, bool enabled);
    ~Timer();
    Timer(const Timer&) = delete;
    Timer& operator=(const Timer&) = delete;

    int interval() const { return interval_; }
    bool isEnabled() const { return enabled_; }
    void setEnabled(bool enabled);

    // The tick handler, run once per period while the timer is enabled.
    std::function<void()> onTick;

    // Called by the clock when a period has elapsed.
    void fire();

private:
    Clock& clock_;
    int interval_;
    bool enabled_ = false;
};

}  // namespace kalvex
