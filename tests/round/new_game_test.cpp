// SPDX-FileCopyrightText: 2026 Kalvex developers
//
// SPDX-License-Identifier: MIT

#include <map>

#include "round/texts.h"
#include "support/game_fixture.h"

namespace kalvex::testing {
namespace {

struct Snapshot {
    std::map<QString, std::tuple<float, float, bool, bool>> elements;
    bool operator==(const Snapshot&) const = default;
};

class NewGameTest : public GameTest {
protected:
    Snapshot snapshot() {
        Snapshot s;
        for (const QWidget* container : {static_cast<QWidget*>(&window()), window().playField()}) {
            for (Element* element : stackingOrder(container)) {
                s.elements[element->widget()->objectName()] = {
                    element->left(), element->top(), element->isVisible(), element->isEnabled()};
            }
        }
        return s;
    }
    // Catches prize k, dropping the claw right on it, and stops the ball at `ball`.
    void catchPrize(int k, float ball) {
        const Element& prize = e(QStringLiteral("prize(%1)").arg(k));
        dropAt(prize.left(), prize.top());
        ASSERT_EQ(statusLine().caption(), texts::kAskClick);
        clickGaugeWithBallAt(ball);
    }
    // What the round allows next, seen from the pointer: the red button is
    // dead, the zone ends no leg, the blue button starts the up leg.
    void expectWaitingForTheBlueButton() {
        hover("rightButton");
        EXPECT_FALSE(window().clawRightTimer.isEnabled());
        EXPECT_TRUE(e("rightHint").isVisible());
        pointerTo(e("hoverZone").left() + 60, 4700);
        EXPECT_EQ(statusLine().caption(), texts::kAskBlue);
        hover("upButton");
        EXPECT_TRUE(window().clawUpTimer.isEnabled());
        EXPECT_EQ(statusLine().caption(), texts::kMoving);
    }
};

TEST_F(NewGameTest, RightAfterStartUpOnlyTheZoneMoves) {
    Snapshot before = snapshot();
    const float ball = e("gaugeBall").left();
    click("newGameButton");
    Snapshot after = snapshot();
    EXPECT_EQ(e("hoverZone").left(), 720);
    std::get<0>(before.elements["hoverZone"]) = 720;
    EXPECT_EQ(after, before);
    EXPECT_EQ(e("gaugeBall").left(), ball);
    EXPECT_EQ(statusLine().caption(), texts::kAskBlue);
    expectWaitingForTheBlueButton();
}

TEST_F(NewGameTest, AWonPrizeLeavesTheFieldForGood) {
    catchPrize(5, 1680);
    ASSERT_EQ(statusLine().caption(), texts::kSucceeded);
    click("newGameButton");
    EXPECT_FALSE(e("prize(5)").isVisible());
    EXPECT_EQ(e("prize(5)").left(), -1000);
    EXPECT_EQ(e("prize(5)").top(), 1920);

    // A second new game hides nothing more; prize(0) in particular stays.
    const Snapshot before = snapshot();
    click("newGameButton");
    EXPECT_EQ(snapshot(), before);
    EXPECT_TRUE(e("prize(0)").isVisible());
}

TEST_F(NewGameTest, ACaughtButLostPrizeStaysWhereItLies) {
    catchPrize(7, 1500);
    ASSERT_EQ(statusLine().caption(), texts::kFailed);
    click("newGameButton");
    EXPECT_TRUE(e("prize(7)").isVisible());
    EXPECT_EQ(e("prize(7)").left(), 720);
    // Nothing is won any more: a second new game takes nothing either.
    const Snapshot before = snapshot();
    click("newGameButton");
    EXPECT_EQ(snapshot(), before);
}

TEST_F(NewGameTest, ResetsFlagsAndControlsButLeavesLegsAndAnimationRunning) {
    advance(30 * 30);  // the ball past its right turn, running left
    // Both legs begun, the up leg ended: the red button live, the blue one dead.
    hover("upButton");
    pointerTo(e("hoverZone").left() + 60, 4700);
    hover("rightButton");
    ASSERT_TRUE(window().clawRightTimer.isEnabled());
    ASSERT_FALSE(e("upHint").isVisible() || e("rightHint").isVisible());
    window().clawRightTimer.setEnabled(false);
    window().clawUpTimer.setEnabled(true);
    window().dropTimer.setEnabled(true);
    window().returnLeftTimer.setEnabled(true);
    window().returnDownTimer.setEnabled(true);
    window().gaugeTimer.setEnabled(false);
    for (const char* name : {"claw", "gaugeTrack", "gaugeButton"}) {
        e(name).setVisible(!e(name).isVisible());
    }
    e("clawFrame(1)").setVisible(true);
    e("claw").setLeft(900);
    e("claw").setTop(300);
    e("upButton").setLeft(-5000);
    e("upButton").setEnabled(false);

    click("newGameButton");

    EXPECT_TRUE(window().clawUpTimer.isEnabled());
    EXPECT_TRUE(window().dropTimer.isEnabled());
    EXPECT_FALSE(window().returnLeftTimer.isEnabled());
    EXPECT_FALSE(window().returnDownTimer.isEnabled());
    EXPECT_TRUE(window().gaugeTimer.isEnabled());
    EXPECT_TRUE(e("upHint").isVisible() && e("rightHint").isVisible() && e("claw").isVisible());
    EXPECT_FALSE(e("gaugeTrack").isVisible() || e("gaugeButton").isVisible() ||
                 e("clawFrame(1)").isVisible());
    EXPECT_EQ(std::pair(e("claw").left(), e("claw").top()), std::pair(0.0f, 2520.0f));
    EXPECT_EQ(e("upButton").left(), 840);
    EXPECT_TRUE(e("upButton").isEnabled());
    // The still-running up leg goes on from home; the ball runs right again.
    const float ball = e("gaugeBall").left();
    advance(80);
    EXPECT_EQ(e("claw").top(), 2490);
    EXPECT_EQ(e("gaugeBall").left(), ball + 120);
    expectWaitingForTheBlueButton();
}

}  // namespace
}  // namespace kalvex::testing
