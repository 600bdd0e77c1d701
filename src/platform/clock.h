// SPDX-FileCopyrightText: 2026 Kalvex developers
//
// SPDX-License-Identifier: MIT

#pragma once

#include <memory>
#include <unordered_map>
#include <unordered_set>

class QTimer;

namespace kalvex {

class Timer;

// Runs the ticks of the timers that are switched on.
class Clock {
public:
    virtual ~Clock() = default;
    // Starts a fresh period for a timer that has just been switched on.
    virtual void arm(Timer& timer) = 0;
    // Stops a timer's ticks at once.
    virtual void disarm(Timer& timer) = 0;
    // While a message box is open the round stands still: no timer ticks.
    virtual void hold() = 0;
    // The box has closed: every timer that is on starts a fresh period, so
    // the time the box was open brings no burst of ticks.
    virtual void resume() = 0;
};

// Qt's precise timers, on the window's event thread.
class RealClock : public Clock {
public:
    RealClock();
    ~RealClock() override;
    void arm(Timer& timer) override;
    void disarm(Timer& timer) override;
    void hold() override;
    void resume() override;

private:
    std::unordered_map<Timer*, std::unique_ptr<QTimer>> running_;
    bool held_ = false;
    // The timers that are on while held; they start again on resume.
    std::unordered_set<Timer*> paused_;
};

}  // namespace kalvex
