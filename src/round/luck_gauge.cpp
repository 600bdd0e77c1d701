// SPDX-FileCopyrightText: 2026 Kalvex developers
//
// SPDX-License-Identifier: MIT

#include "round/position_copy.h"
#include "round/round.h"
#include "round/texts.h"

namespace kalvex {

namespace {
constexpr float kTurnRight = 400;  // at or left of it the ball turns right
constexpr float kTurnLeft = 2865;  // at or right of it the ball turns left
constexpr float kBandLow = 1560;   // the middle band, both ends included
constexpr float kBandHigh = 1800;
constexpr int kStepFactor = 2;
}  // namespace

void Round::ShowLuckGauge() {
    Label1.setCaption(texts::kAskClick);
    Luck_check1.setVisible(true);
    Luck_check2.setVisible(true);
    Luck_check3.setVisible(true);
    luckclick.setVisible(true);
}

// The ball runs from start-up on, hidden or not; only a click stops it.
void Round::tmrLuck_Timer() {
    // The step is 16-bit; an interval too long for it leaves the ball where it is.
    const std::optional<std::int16_t> interval = toInt16(tmrLuck.Interval());
    const std::optional<std::int16_t> step =
        interval ? toInt16(static_cast<double>(*interval) * kStepFactor) : std::nullopt;
    if (!step) {
        return;
    }
    luckStep = *step;
    const float ball = Luck_check2.Left();
    // The direction is decided before the move, so the ball overshoots a
    // threshold by up to one step before it turns.
    if (ball <= kTurnRight) {
        luckGoingBack = kFalse;
    } else if (ball >= kTurnLeft) {
        luckGoingBack = kTrue;
    }
    const double moved = luckGoingBack == kTrue ? double{ball} - luckStep : double{ball} + luckStep;
    Luck_check2.setLeft(static_cast<float>(moved));
}

// No guard: every further click judges the frozen ball again.
void Round::luckclick_Click() {
    tmrLuck.setEnabled(false);
    const float ball = Luck_check2.Left();
    const bool success = kBandLow <= ball && ball <= kBandHigh;
    luckWon = success ? kTrue : kFalse;
    Label1.setCaption(success ? texts::kSucceeded : texts::kFailed);
    tmrBackleft.setEnabled(true);
}

}  // namespace kalvex
