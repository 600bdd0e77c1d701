// SPDX-FileCopyrightText: 2026 Kalvex developers
//
// SPDX-License-Identifier: MIT

#include "round/round.h"
#include "round/texts.h"

namespace kalvex {

void Round::LoadRoundState() {
    caughtIndex = 0;
    upAllowed = kTrue;
    leftAllowed = kFalse;
    luckGoingBack = kFalse;
}

// Puts the field back so a round can begin. It leaves the steering and
// animation timers alone: a leg or animation under way goes on afterwards.
void Round::Command1_Click() {
    Label1.setCaption(texts::kAskBlue);
    if (luckWon == kTrue) {
        // A won prize leaves the field for good.
        icons(caughtIndex).setVisible(false);
        icons(caughtIndex).setLeft(-1000);
    }
    caughtIndex = 0;
    Label2.setVisible(true);
    Label3.setVisible(true);
    // From the first new game on the hover zone stands at 720, not at its first 120.
    Moveout.setLeft(720);
    Go_up.setLeft(840);
    Go_up.setVisible(true);
    Go_up.setEnabled(true);
    Go_left.setLeft(2040);
    Go_left.setVisible(true);
    Go_left.setEnabled(true);
    Hand.setTop(2520);
    Hand.setLeft(0);
    Hand.setVisible(true);
    for (int index = 0; index < kClawFrames; ++index) {
        handed(index).setVisible(false);
    }
    Luck_check1.setVisible(false);
    Luck_check2.setVisible(false);
    Luck_check3.setVisible(false);
    upAllowed = kTrue;
    leftAllowed = kFalse;
    luckGoingBack = kFalse;
    upStarted = kFalse;
    leftStarted = kFalse;
    luckclick.setVisible(false);
    luckWon = kFalse;
    tmrLuck.setEnabled(true);
    tmrBacktop.setEnabled(false);
    tmrBackleft.setEnabled(false);
}

}  // namespace kalvex
