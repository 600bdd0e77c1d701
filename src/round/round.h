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

inline constexpr int kPrizeCount = 28;  // prize(0) to prize(27)
inline constexpr int kClawFrames = 3;   // clawFrame(0) to clawFrame(2)
// Prizes from this one on are large and are judged by a window of their own.
inline constexpr int kFirstLargePrize = 22;

// Where the claw waits for a round, in the play field; the return ends there.
inline constexpr float kClawHomeLeft = 0;
inline constexpr float kClawHomeTop = 2520;
// How far the claw, its frames and a carried prize move per tick, every way.
inline constexpr float kClawStep = 30;
// The steering buttons' places on the panel; a new game puts them back.
inline constexpr float kUpButtonLeft = 840;
inline constexpr float kRightButtonLeft = 2040;
// Out of sight and out of reach: the controls after the drop. The hover zone is
// 3135 wide, so nothing nearer takes it off the window.
inline constexpr float kControlsParkedLeft = -5000;
// Where a won prize is put away for good, hidden, left of anything the claw reaches.
inline constexpr float kWonPrizeLeft = -1000;

// The elements and timers of the window that the rules touch, by their names.
struct RoundControls {
    Element& claw;
    ElementGroup<kClawFrames> clawFrames;
    ElementGroup<kPrizeCount> prizes;
    Element& upButton;
    Element& rightButton;
    Element& hoverZone;
    CaptionElement& statusLine;
    Element& upHint;
    Element& rightHint;
    Element& gaugeTrack;
    Element& gaugeBall;
    Element& gaugeMark;
    Element& gaugeButton;
    Timer& clawUpTimer;
    Timer& clawRightTimer;
    Timer& dropTimer;
    Timer& gaugeTimer;
    Timer& returnLeftTimer;
    Timer& returnDownTimer;
};

class Round : private RoundControls {
public:
    explicit Round(const RoundControls& controls) : RoundControls(controls) {}

    // The round-state step of start-up.
    void setStartUpState();

    // The handlers, one for each event the window forwards: a click, a
    // pointer move over an element, a timer's tick.
    void newGame();
    void pointerOverUpButton();
    void pointerOverRightButton();
    void moveClawUp();
    void moveClawRight();
    void pointerOverHoverZone();

    void showNextDropFrame();
    void moveGaugeBall();
    void stopGaugeBall();

    void returnClawLeft();
    void returnClawDown();

private:
    // Second half of pointerOverHoverZone, once the sideways leg has begun.
    void drop();
    // The catch judgement at the drop, and the gauge it shows on a catch.
    void judgeCatch();
    void showLuckGauge();

    // The round state, read and written directly by the handlers.
    bool upAllowed = false;
    bool rightAllowed = false;
    bool upStarted = false;
    bool rightStarted = false;
    std::optional<double> clawTop;
    std::int16_t clawLeft = 0;
    std::array<std::optional<double>, kPrizeCount> prizeTops{};
    std::array<std::int16_t, kPrizeCount> prizeLefts{};
    std::int16_t luckStep = 0;
    bool ballGoingLeft = false;
    std::int16_t clawFrameStep = 0;
    std::int16_t clawFrameCount = 0;
    bool luckWon = false;
    std::int16_t caughtIndex = 0;
};

}  // namespace kalvex
