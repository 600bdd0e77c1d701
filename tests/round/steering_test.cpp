// SPDX-FileCopyrightText: 2026 Kalvex developers
//
// SPDX-License-Identifier: MIT

#include "round/texts.h"
#include "support/game_fixture.h"

namespace kalvex::testing {
namespace {

class SteeringTest : public GameTest {
protected:
    void leaveOverZone() { pointerTo(e("Moveout").Left() + 60, 4700); }
    std::tuple<Flag, Flag, Flag, Flag> flags() {
        return {round().upAllowed, round().leftAllowed, round().upStarted, round().leftStarted};
    }
};

TEST_F(SteeringTest, LegsRunInOrderThroughTheFourPhases) {
    EXPECT_EQ(flags(), std::tuple(kTrue, kFalse, kFalse, kFalse));
    hover("Go_up");
    EXPECT_EQ(flags(), std::tuple(kTrue, kFalse, kTrue, kFalse));
    EXPECT_FALSE(e("Label2").Visible());
    EXPECT_EQ(label1().Caption(), texts::kMoving);
    advance(240);
    EXPECT_EQ(e("Hand").Top(), 2520 - 90);
    leaveOverZone();
    EXPECT_EQ(flags(), std::tuple(kFalse, kTrue, kTrue, kFalse));
    EXPECT_FALSE(window().tmrHandUp.Enabled());
    EXPECT_EQ(label1().Caption(), texts::kAskRed);
    hover("Go_left");
    EXPECT_EQ(flags(), std::tuple(kFalse, kTrue, kTrue, kTrue));
    EXPECT_FALSE(e("Label3").Visible());
    EXPECT_EQ(label1().Caption(), texts::kMoving);
    advance(160);
    EXPECT_EQ(e("Hand").Left(), 60);
    EXPECT_EQ(e("Hand").Top(), 2430);
}

TEST_F(SteeringTest, TheRedButtonDoesNothingBeforeTheUpLegHasEnded) {
    hover("Go_left");  // phase 1
    EXPECT_EQ(flags(), std::tuple(kTrue, kFalse, kFalse, kFalse));
    EXPECT_TRUE(e("Label3").Visible());
    EXPECT_EQ(label1().Caption(), texts::kAskBlue);
    hover("Go_up");
    advance(80);
    hover("Go_left");  // phase 2: a jump from one button to the other
    EXPECT_FALSE(window().tmrHandLeft.Enabled());
    EXPECT_TRUE(e("Label3").Visible());
    EXPECT_EQ(round().leftStarted, kFalse);
    advance(80);
    EXPECT_EQ(e("Hand").Left(), 0);
    EXPECT_EQ(e("Hand").Top(), 2460);  // the up leg goes on meanwhile
}

TEST_F(SteeringTest, TheBlueButtonIsDeadOnceItsLegHasEnded) {
    hover("Go_up");
    advance(80);
    leaveOverZone();
    hover("Go_up");
    advance(400);
    EXPECT_EQ(e("Hand").Top(), 2490);
    EXPECT_FALSE(window().tmrHandUp.Enabled());
    EXPECT_EQ(label1().Caption(), texts::kAskRed);
}

TEST_F(SteeringTest, LeavingBeforeTheFirstTickStillEndsTheLeg) {
    hover("Go_up");
    advance(79);
    leaveOverZone();
    advance(400);
    EXPECT_EQ(e("Hand").Top(), 2520);
    EXPECT_EQ(round().leftAllowed, kTrue);
    hover("Go_left");
    advance(40);
    leaveOverZone();  // drops at home
    EXPECT_FALSE(e("Hand").Visible());
    EXPECT_EQ(e("handed(0)").Left(), 0);
    EXPECT_EQ(e("handed(0)").Top(), 2520);
}

// Re-enabling the running timer on every move must not stall the claw.
TEST_F(SteeringTest, MovingOverTheButtonKeepsTheClawGoingAtItsPace) {
    hover("Go_up");
    for (int i = 0; i < 20; ++i) {
        advance(20);
        pointerTo(1000 + 15 * (i % 2), 4000);
    }
    EXPECT_EQ(e("Hand").Top(), 2520 - 5 * 30);
}

TEST_F(SteeringTest, TravelIsUnboundedInBothDirections) {
    hover("Go_up");
    advance(80 * 150);
    EXPECT_EQ(e("Hand").Top(), 2520 - 30 * 150);
    leaveOverZone();
    hover("Go_left");
    advance(80 * 200);
    EXPECT_EQ(e("Hand").Left(), 30 * 200);
}

TEST_F(SteeringTest, APointerThatSkipsTheZoneLeavesTheClawMoving) {
    hover("Go_up");
    advance(80);
    pointerTo(1500, 2000);  // straight onto the play field
    advance(160);
    EXPECT_EQ(e("Hand").Top(), 2520 - 90);
    EXPECT_TRUE(window().tmrHandUp.Enabled());
    leaveOverZone();
    advance(160);
    EXPECT_EQ(e("Hand").Top(), 2520 - 90);
}

TEST_F(SteeringTest, TheZoneInThePhaseBeforeAnyLegChangesNothing) {
    leaveOverZone();
    EXPECT_EQ(flags(), std::tuple(kTrue, kFalse, kFalse, kFalse));
    EXPECT_EQ(label1().Caption(), texts::kAskBlue);
}

TEST_F(SteeringTest, TheDroppingMoveReplacesTheRedButtonText) {
    steer(1, 1);
    EXPECT_NE(label1().Caption(), texts::kAskRed);
    EXPECT_EQ(flags(), std::tuple(kFalse, kFalse, kTrue, kTrue));
}

}  // namespace
}  // namespace kalvex::testing
