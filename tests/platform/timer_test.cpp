// SPDX-FileCopyrightText: 2026 Kalvex developers
//
// SPDX-License-Identifier: MIT

#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QTest>
#include <QTimer>
#include <string>
#include <vector>

#include "platform/clock.h"
#include "platform/timer.h"
#include "support/simulated_clock.h"

namespace kalvex {
namespace {

using testing::SimulatedClock;

struct TickLog {
    std::vector<std::pair<qint64, std::string>> ticks;
};

// The steering re-enables its timer on every pointer move; a restarted
// period would stall the claw, so switching on a running timer must not.
TEST(SimulatedClock, EnablingARunningTimerKeepsItsPeriod) {
    SimulatedClock clock;
    Timer timer(clock, 80, false);
    std::vector<qint64> at;
    timer.onTick = [&] { at.push_back(clock.now()); };
    timer.setEnabled(true);
    for (int i = 0; i < 20; ++i) {
        clock.advance(20);
        timer.setEnabled(true);
    }
    EXPECT_EQ(at, (std::vector<qint64>{80, 160, 240, 320, 400}));
}

TEST(SimulatedClock, SwitchingOnFromOffStartsAFreshPeriod) {
    SimulatedClock clock;
    Timer timer(clock, 80, true);
    std::vector<qint64> at;
    timer.onTick = [&] { at.push_back(clock.now()); };
    clock.advance(50);
    timer.setEnabled(false);
    clock.advance(10);
    timer.setEnabled(true);
    clock.advance(100);
    EXPECT_EQ(at, (std::vector<qint64>{140}));
}

TEST(SimulatedClock, FiresTicksOfSeveralTimersInTimeOrder) {
    SimulatedClock clock;
    Timer fifty(clock, 50, false);
    Timer eighty(clock, 80, false);
    std::vector<std::pair<qint64, std::string>> log;
    fifty.onTick = [&] { log.emplace_back(clock.now(), "50"); };
    eighty.onTick = [&] { log.emplace_back(clock.now(), "80"); };
    fifty.setEnabled(true);
    eighty.setEnabled(true);
    clock.advance(400);
    const std::vector<std::pair<qint64, std::string>> expected = {
        {50, "50"},  {80, "80"},  {100, "50"}, {150, "50"}, {160, "80"}, {200, "50"}, {240, "80"},
        {250, "50"}, {300, "50"}, {320, "80"}, {350, "50"}, {400, "50"}, {400, "80"}};
    EXPECT_EQ(log, expected);
    EXPECT_EQ(clock.now(), 400);
}

TEST(SimulatedClock, DisablingInsideATickStopsFurtherTicksAtOnce) {
    SimulatedClock clock;
    Timer a(clock, 30, true);
    Timer b(clock, 30, true);
    int aTicks = 0, bTicks = 0;
    // a switches b off in the tick that is due at the same moment as b's.
    a.onTick = [&] {
        ++aTicks;
        b.setEnabled(false);
    };
    b.onTick = [&] { ++bTicks; };
    clock.advance(300);
    EXPECT_EQ(aTicks, 10);
    EXPECT_EQ(bTicks, 0);
    EXPECT_EQ(clock.dueTime(b), -1);
}

TEST(SimulatedClock, ATickThatSwitchesAnotherTimerOnStartsItsPeriodThen) {
    SimulatedClock clock;
    Timer first(clock, 80, true);
    Timer second(clock, 80, false);
    std::vector<qint64> secondAt;
    first.onTick = [&] {
        second.setEnabled(true);
        first.setEnabled(false);
    };
    second.onTick = [&] { secondAt.push_back(clock.now()); };
    clock.advance(400);
    EXPECT_EQ(secondAt, (std::vector<qint64>{160, 240, 320, 400}));
}

TEST(SimulatedClock, ATimerWithoutAPeriodNeverTicks) {
    SimulatedClock clock;
    Timer timer(clock, 0, true);
    int ticks = 0;
    timer.onTick = [&] { ++ticks; };
    clock.advance(1000);
    EXPECT_EQ(ticks, 0);
    EXPECT_TRUE(timer.isEnabled());
}

// The same rule on Qt's real timers: an 80 ms timer re-enabled every 20 ms.
TEST(RealClock, EnablingARunningTimerKeepsItsPeriod) {
    RealClock clock;
    Timer timer(clock, 80, false);
    int ticks = 0;
    timer.onTick = [&] { ++ticks; };
    QTimer poke;
    poke.setTimerType(Qt::PreciseTimer);
    QObject::connect(&poke, &QTimer::timeout, [&] { timer.setEnabled(true); });
    timer.setEnabled(true);
    poke.start(20);
    QTest::qWait(500);
    // About six ticks in 500 ms; a restarted period would give none.
    EXPECT_GE(ticks, 4);
    EXPECT_LE(ticks, 7);
}

TEST(RealClock, DisablingStopsTicks) {
    RealClock clock;
    Timer timer(clock, 30, true);
    int ticks = 0;
    timer.onTick = [&] {
        if (++ticks == 3) {
            timer.setEnabled(false);
        }
    };
    QTest::qWait(300);
    EXPECT_EQ(ticks, 3);
}

}  // namespace
}  // namespace kalvex
