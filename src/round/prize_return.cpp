// SPDX-FileCopyrightText: 2026 Kalvex developers
//
// SPDX-License-Identifier: MIT

#include "round/round.h"
#include "round/texts.h"

namespace kalvex {

namespace {
constexpr float kStep = 30;
constexpr float kHomeLeft = 0;
constexpr float kHomeTop = 2520;
}  // namespace

// The claw returns left, then down. A won prize moves in lock-step, right
// after the claw frame, so it keeps the offset it had at the drop.
void Round::returnClawLeft() {
    clawFrames(0).setLeft(clawFrames(0).left() - kStep);
    if (luckWon) {
        prizes(caughtIndex).setLeft(prizes(caughtIndex).left() - kStep);
    }
    if (clawFrames(0).left() <= kHomeLeft) {
        returnDownTimer.setEnabled(true);
        returnLeftTimer.setEnabled(false);
    }
}

void Round::returnClawDown() {
    clawFrames(0).setTop(clawFrames(0).top() + kStep);
    if (luckWon) {
        prizes(caughtIndex).setTop(prizes(caughtIndex).top() + kStep);
    }
    if (clawFrames(0).top() < kHomeTop) {
        return;
    }
    returnDownTimer.setEnabled(false);
    clawFrames(0).setVisible(false);
    claw.setLeft(clawFrames(0).left());
    claw.setTop(clawFrames(0).top());
    claw.setVisible(true);
    statusLine.setCaption(luckWon ? texts::kCongratulations : texts::kThanks);
}

}  // namespace kalvex
