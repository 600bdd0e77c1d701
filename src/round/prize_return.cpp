// SPDX-FileCopyrightText: 2026 Kalvex developers
//
// SPDX-License-Identifier: MIT

#include "round/round.h"
#include "round/texts.h"

namespace kalvex {

// The claw returns left, then down. A won prize moves in lock-step, right
// after the claw frame, so it keeps the offset it had at the drop.
void Round::returnClawLeft() {
    clawFrames(0).setLeft(clawFrames(0).left() - kClawStep);
    if (luckWon) {
        prizes(caughtIndex).setLeft(prizes(caughtIndex).left() - kClawStep);
    }
    if (clawFrames(0).left() <= kClawHomeLeft) {
        returnDownTimer.setEnabled(true);
        returnLeftTimer.setEnabled(false);
    }
}

void Round::returnClawDown() {
    clawFrames(0).setTop(clawFrames(0).top() + kClawStep);
    if (luckWon) {
        prizes(caughtIndex).setTop(prizes(caughtIndex).top() + kClawStep);
    }
    if (clawFrames(0).top() < kClawHomeTop) {
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
