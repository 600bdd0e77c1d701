// SPDX-FileCopyrightText: 2026 Kalvex developers
//
// SPDX-License-Identifier: MIT

#include "round/round.h"
#include "round/texts.h"

namespace kalvex {

// Every pointer move over a button repeats these steps with the same values;
// re-enabling the running timer keeps its period, so the claw never stalls.
void Round::pointerOverUpButton() {
    if (!upAllowed) {
        return;
    }
    upStarted = true;
    clawUpTimer.setEnabled(true);
    upHint.setVisible(false);
    statusLine.setCaption(texts::kMoving);
}

void Round::pointerOverRightButton() {
    if (!rightAllowed) {
        return;
    }
    rightStarted = true;
    clawRightTimer.setEnabled(true);
    rightHint.setVisible(false);
    statusLine.setCaption(texts::kMoving);
}

// The claw's travel is unbounded: it moves as long as its timer runs.
void Round::moveClawUp() {
    claw.setTop(claw.top() - kClawStep);
}

void Round::moveClawRight() {
    claw.setLeft(claw.left() + kClawStep);
}

void Round::pointerOverHoverZone() {
    clawUpTimer.setEnabled(false);
    if (upStarted) {
        rightAllowed = true;
        upAllowed = false;
        statusLine.setCaption(texts::kAskRed);
    }
    clawRightTimer.setEnabled(false);
    if (rightStarted) {
        drop();
    }
}

}  // namespace kalvex
