// SPDX-FileCopyrightText: 2026 Kalvex developers
//
// SPDX-License-Identifier: MIT

#include "round/texts.h"
#include "support/game_fixture.h"

namespace kalvex::testing {
namespace {

class SteeringTest : public GameTest {
protected:
    void leaveOverZone() { pointerTo(e("hoverZone").left() + 60, 4700); }
    // Whether the pointer on each button starts a leg, the claw kept still.
    std::pair<bool, bool> liveButtons() {
        window().clawUpTimer.setEnabled(false);
        window().clawRightTimer.setEnabled(false);
        hover("upButton");
        const bool up = window().clawUpTimer.isEnabled();
        hover("rightButton");
        const bool right = window().clawRightTimer.isEnabled();
        window().clawUpTimer.setEnabled(false);
        window().clawRightTimer.setEnabled(false);
        return {up, right};
    }
};

TEST_F(SteeringTest, LegsRunInOrderThroughTheFourPhases) {
    hover("upButton");
    EXPECT_TRUE(window().clawUpTimer.isEnabled());
    EXPECT_FALSE(e("upHint").isVisible());
    EXPECT_EQ(statusLine().caption(), texts::kMoving);
    advance(240);
    EXPECT_EQ(e("claw").top(), 2520 - 90);
    leaveOverZone();
    EXPECT_FALSE(window().clawUpTimer.isEnabled());
    EXPECT_EQ(statusLine().caption(), texts::kAskRed);
    hover("rightButton");
    EXPECT_TRUE(window().clawRightTimer.isEnabled());
    EXPECT_FALSE(e("rightHint").isVisible());
    EXPECT_EQ(statusLine().caption(), texts::kMoving);
    advance(160);
    EXPECT_EQ(e("claw").left(), 60);
    EXPECT_EQ(e("claw").top(), 2430);
}

TEST_F(SteeringTest, TheRedButtonDoesNothingBeforeTheUpLegHasEnded) {
    hover("rightButton");  // phase 1
    EXPECT_FALSE(window().clawRightTimer.isEnabled());
    EXPECT_TRUE(e("rightHint").isVisible());
    EXPECT_EQ(statusLine().caption(), texts::kAskBlue);
    hover("upButton");
    advance(80);
    hover("rightButton");  // phase 2: a jump from one button to the other
    EXPECT_FALSE(window().clawRightTimer.isEnabled());
    EXPECT_TRUE(e("rightHint").isVisible());
    advance(80);
    EXPECT_EQ(e("claw").left(), 0);
    EXPECT_EQ(e("claw").top(), 2460);  // the up leg goes on meanwhile
    // No sideways leg began, so the zone only ends the up leg.
    leaveOverZone();
    EXPECT_TRUE(e("claw").isVisible());
    EXPECT_EQ(statusLine().caption(), texts::kAskRed);
}

TEST_F(SteeringTest, TheBlueButtonIsDeadOnceItsLegHasEnded) {
    hover("upButton");
    advance(80);
    leaveOverZone();
    hover("upButton");
    advance(400);
    EXPECT_EQ(e("claw").top(), 2490);
    EXPECT_FALSE(window().clawUpTimer.isEnabled());
    EXPECT_EQ(statusLine().caption(), texts::kAskRed);
}

TEST_F(SteeringTest, LeavingBeforeTheFirstTickStillEndsTheLeg) {
    hover("upButton");
    advance(79);
    leaveOverZone();
    advance(400);
    EXPECT_EQ(e("claw").top(), 2520);
    hover("rightButton");
    EXPECT_TRUE(window().clawRightTimer.isEnabled());
    advance(40);
    leaveOverZone();  // drops at home
    EXPECT_FALSE(e("claw").isVisible());
    EXPECT_EQ(e("clawFrame(0)").left(), 0);
    EXPECT_EQ(e("clawFrame(0)").top(), 2520);
}

// Re-enabling the running timer on every move must not stall the claw.
TEST_F(SteeringTest, MovingOverTheButtonKeepsTheClawGoingAtItsPace) {
    hover("upButton");
    for (int i = 0; i < 20; ++i) {
        advance(20);
        pointerTo(1000 + 15 * (i % 2), 4000);
    }
    EXPECT_EQ(e("claw").top(), 2520 - 5 * 30);
}

TEST_F(SteeringTest, TravelIsUnboundedInBothDirections) {
    hover("upButton");
    advance(80 * 150);
    EXPECT_EQ(e("claw").top(), 2520 - 30 * 150);
    leaveOverZone();
    hover("rightButton");
    advance(80 * 200);
    EXPECT_EQ(e("claw").left(), 30 * 200);
}

TEST_F(SteeringTest, APointerThatSkipsTheZoneLeavesTheClawMoving) {
    hover("upButton");
    advance(80);
    pointerTo(1500, 2000);  // straight onto the play field
    advance(160);
    EXPECT_EQ(e("claw").top(), 2520 - 90);
    EXPECT_TRUE(window().clawUpTimer.isEnabled());
    leaveOverZone();
    advance(160);
    EXPECT_EQ(e("claw").top(), 2520 - 90);
}

TEST_F(SteeringTest, TheZoneInThePhaseBeforeAnyLegChangesNothing) {
    leaveOverZone();
    EXPECT_EQ(statusLine().caption(), texts::kAskBlue);
    EXPECT_EQ(liveButtons(), std::pair(true, false));
}

TEST_F(SteeringTest, TheDroppingMoveReplacesTheRedButtonText) {
    steer(1, 1);
    EXPECT_NE(statusLine().caption(), texts::kAskRed);
    // Both buttons are dead, even if brought back onto the panel.
    e("upButton").setLeft(840);
    e("rightButton").setLeft(2040);
    EXPECT_EQ(liveButtons(), std::pair(false, false));
}

}  // namespace
}  // namespace kalvex::testing
