// SPDX-FileCopyrightText: 2026 Kalvex developers
//
// SPDX-License-Identifier: MIT

#include "round/round.h"
#include "round/texts.h"

namespace kalvex {

namespace {
constexpr float kStep = 30;  // twips per tick, both legs
}

// Every pointer move over a button repeats these steps with the same values;
// re-enabling the running timer keeps its period, so the claw never stalls.
void Round::Go_up_MouseMove() {
    if (upAllowed != kTrue) {
        return;
    }
    upStarted = kTrue;
    tmrHandUp.setEnabled(true);
    Label2.setVisible(false);
    Label1.setCaption(texts::kMoving);
}

void Round::Go_left_MouseMove() {
    if (leftAllowed != kTrue) {
        return;
    }
    leftStarted = kTrue;
    tmrHandLeft.setEnabled(true);
    Label3.setVisible(false);
    Label1.setCaption(texts::kMoving);
}

// The claw's travel is unbounded: it moves as long as its timer runs.
void Round::tmrHandUp_Timer() {
    Hand.setTop(Hand.Top() - kStep);
}

void Round::tmrHandLeft_Timer() {
    Hand.setLeft(Hand.Left() + kStep);
}

void Round::Moveout_MouseMove() {
    tmrHandUp.setEnabled(false);
    if (upStarted == kTrue) {
        leftAllowed = kTrue;
        upAllowed = kFalse;
        Label1.setCaption(texts::kAskRed);
    }
    tmrHandLeft.setEnabled(false);
    if (leftStarted == kTrue) {
        Drop();
    }
}

}  // namespace kalvex
