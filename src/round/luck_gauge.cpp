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

void Round::showLuckGauge() {
    statusLine.setCaption(texts::kAskClick);
    gaugeTrack.setVisible(true);
    gaugeBall.setVisible(true);
    gaugeMark.setVisible(true);
    gaugeButton.setVisible(true);
}

// The ball runs from start-up on, hidden or not; only a click stops it.
void Round::moveGaugeBall() {
    // The step is 16-bit; an interval too long for it leaves the ball where it is.
    const std::optional<std::int16_t> interval = toInt16(gaugeTimer.interval());
    const std::optional<std::int16_t> step =
        interval ? toInt16(static_cast<double>(*interval) * kStepFactor) : std::nullopt;
    if (!step) {
        return;
    }
    luckStep = *step;
    const float ball = gaugeBall.left();
    // The direction is decided before the move, so the ball overshoots a
    // threshold by up to one step before it turns.
    if (ball <= kTurnRight) {
        ballGoingLeft = false;
    } else if (ball >= kTurnLeft) {
        ballGoingLeft = true;
    }
    const double moved = ballGoingLeft ? double{ball} - luckStep : double{ball} + luckStep;
    gaugeBall.setLeft(static_cast<float>(moved));
}

// No guard: every further click judges the frozen ball again.
void Round::stopGaugeBall() {
    gaugeTimer.setEnabled(false);
    const float ball = gaugeBall.left();
    const bool success = kBandLow <= ball && ball <= kBandHigh;
    luckWon = success;
    statusLine.setCaption(success ? texts::kSucceeded : texts::kFailed);
    returnLeftTimer.setEnabled(true);
}

}  // namespace kalvex
