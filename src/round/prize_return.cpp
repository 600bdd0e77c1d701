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
void Round::tmrBackleft_Timer() {
    handed(0).setLeft(handed(0).Left() - kStep);
    if (luckWon == kTrue) {
        icons(caughtIndex).setLeft(icons(caughtIndex).Left() - kStep);
    }
    if (handed(0).Left() <= kHomeLeft) {
        tmrBacktop.setEnabled(true);
        tmrBackleft.setEnabled(false);
    }
}

void Round::tmrBacktop_Timer() {
    handed(0).setTop(handed(0).Top() + kStep);
    if (luckWon == kTrue) {
        icons(caughtIndex).setTop(icons(caughtIndex).Top() + kStep);
    }
    if (handed(0).Top() < kHomeTop) {
        return;
    }
    tmrBacktop.setEnabled(false);
    handed(0).setVisible(false);
    Hand.setLeft(handed(0).Left());
    Hand.setTop(handed(0).Top());
    Hand.setVisible(true);
    Label1.setCaption(luckWon == kTrue ? texts::kCongratulations : texts::kThanks);
}

}  // namespace kalvex
