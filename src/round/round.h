// SPDX-FileCopyrightText: 2026 Kalvex developers
//
// SPDX-License-Identifier: MIT

#pragma once

// The rules of a round: the round state and the handlers that play it.
// The handlers only move, show and hide elements and switch timers; they
// never draw. Each rule lives in its own unit:
//   new_game.cpp      start-up state and the new-game reset
//   steering.cpp      the up and sideways legs
//   drop.cpp          the drop, its animation and the catch judgement
//   luck_gauge.cpp    the timing gauge
//   prize_return.cpp  the claw's way home

#include <array>
#include <cstdint>
#include <optional>

#include "platform/element.h"
#include "platform/timer.h"

namespace kalvex {

// Flags are 16-bit with true = -1; every test is a test for exactly -1.
using Flag = std::int16_t;
inline constexpr Flag kTrue = -1;
inline constexpr Flag kFalse = 0;

inline constexpr int kPrizeCount = 28;  // icons(0) to icons(27)
inline constexpr int kClawFrames = 3;   // handed(0) to handed(2)

// The elements and timers of the window that the rules touch, by their names.
struct RoundControls {
    Element& Hand;
    ElementGroup<kClawFrames> handed;
    ElementGroup<kPrizeCount> icons;
    Element& Go_up;
    Element& Go_left;
    Element& Moveout;
    CaptionElement& Label1;
    Element& Label2;
    Element& Label3;
    Element& Luck_check1;
    Element& Luck_check2;
    Element& Luck_check3;
    Element& luckclick;
    Timer& tmrHandUp;
    Timer& tmrHandLeft;
    Timer& tmrhand;
    Timer& tmrLuck;
    Timer& tmrBackleft;
    Timer& tmrBacktop;
};

class Round : private RoundControls {
public:
    explicit Round(const RoundControls& controls) : RoundControls(controls) {}

    // The round-state step of start-up.
    void LoadRoundState();
    void Command1_Click();

    void Go_up_MouseMove();
    void Go_left_MouseMove();
    void tmrHandUp_Timer();
    void tmrHandLeft_Timer();
    void Moveout_MouseMove();

    void tmrhand_Timer();
    void JudgeCatch();

    void ShowLuckGauge();
    void tmrLuck_Timer();
    void luckclick_Click();

    void tmrBackleft_Timer();
    void tmrBacktop_Timer();

    // The round state, read and written directly by the handlers.
    Flag upAllowed = kFalse;
    Flag leftAllowed = kFalse;
    Flag upStarted = kFalse;
    Flag leftStarted = kFalse;
    std::optional<double> clawTop;
    std::int16_t clawLeft = 0;
    std::array<std::optional<double>, kPrizeCount> prizeTops{};
    std::array<std::int16_t, kPrizeCount> prizeLefts{};
    std::int16_t luckStep = 0;
    Flag luckGoingBack = kFalse;
    std::int16_t clawFrameStep = 0;
    std::int16_t clawFrameCount = 0;
    Flag luckWon = kFalse;
    std::int16_t caughtIndex = 0;

private:
    // Second half of Moveout_MouseMove, once the sideways leg has begun.
    void Drop();
};

}  // namespace kalvex
