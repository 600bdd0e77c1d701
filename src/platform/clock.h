// SPDX-FileCopyrightText: 2026 Kalvex developers
//
// SPDX-License-Identifier: MIT

#pragma once

#include <QtGlobal>
#include <memory>
#include <unordered_map>
#include <unordered_set>
#include <vector>

class QTimer;

namespace kalvex {

class Timer;

// Runs the ticks of the timers that are switched on. The game uses the real
// clock; tests use the simulated one and decide when time passes.
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

// Simulated milliseconds: advancing fires every due tick in time order with
// no real waiting. Ticks due at the same moment fire in the order in which
// their timers were switched on.
class SimulatedClock : public Clock {
public:
    void arm(Timer& timer) override;
    void disarm(Timer& timer) override;
    // Time still passes while held, but no tick fires.
    void hold() override;
    void resume() override;

    qint64 now() const { return now_; }
    void advance(qint64 ms);
    // Advances to the next due tick (if any) and fires only that one.
    bool step();
    // When the given timer's next tick is due, or -1 if it is not running.
    qint64 dueTime(const Timer& timer) const;

private:
    struct Armed {
        Timer* timer;
        qint64 due;
        quint64 order;
    };
    Armed* nextDue();

    qint64 now_ = 0;
    bool held_ = false;
    quint64 armedCount_ = 0;
    std::vector<Armed> armed_;
};

}  // namespace kalvex
