// SPDX-FileCopyrightText: 2026 Kalvex developers
//
// SPDX-License-Identifier: MIT

#include "round/round.h"
#include "round/texts.h"

namespace kalvex {

void Round::setStartUpState() {
    caughtIndex = 0;
    upAllowed = true;
    rightAllowed = false;
    ballGoingLeft = false;
}

// Puts the field back so a round can begin. It leaves the steering and
// animation timers alone: a leg or animation under way goes on afterwards.
void Round::newGame() {
    statusLine.setCaption(texts::kAskBlue);
    if (luckWon) {
        // A won prize leaves the field for good.
        prizes(caughtIndex).setVisible(false);
        prizes(caughtIndex).setLeft(kWonPrizeLeft);
    }
    caughtIndex = 0;
    upHint.setVisible(true);
    rightHint.setVisible(true);
    // From the first new game on the hover zone stands at 720, not at its first 120.
    hoverZone.setLeft(720);
    upButton.setLeft(kUpButtonLeft);
    upButton.setVisible(true);
    upButton.setEnabled(true);
    rightButton.setLeft(kRightButtonLeft);
    rightButton.setVisible(true);
    rightButton.setEnabled(true);
    claw.setTop(kClawHomeTop);
    claw.setLeft(kClawHomeLeft);
    claw.setVisible(true);
    for (int index = 0; index < kClawFrames; ++index) {
        clawFrames(index).setVisible(false);
    }
    gaugeTrack.setVisible(false);
    gaugeBall.setVisible(false);
    gaugeMark.setVisible(false);
    upAllowed = true;
    rightAllowed = false;
    ballGoingLeft = false;
    upStarted = false;
    rightStarted = false;
    gaugeButton.setVisible(false);
    luckWon = false;
    gaugeTimer.setEnabled(true);
    returnDownTimer.setEnabled(false);
    returnLeftTimer.setEnabled(false);
}

}  // namespace kalvex
