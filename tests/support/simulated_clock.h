// SPDX-FileCopyrightText: 2026 Kalvex developers
//
// SPDX-License-Identifier: MIT

#pragma once

#include <QtGlobal>
#include <vector>

#include "platform/clock.h"

namespace kalvex::testing {

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

}  // namespace kalvex::testing
