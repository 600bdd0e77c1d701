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
            for (Element* element : window().stackingOrder(container)) {
                s.elements[element->name()] = {element->left(), element->top(),
                                               element->isVisible(), element->isEnabled()};
            }
        }
        return s;
    }
};

TEST_F(NewGameTest, RightAfterStartUpOnlyTheZoneMoves) {
    Snapshot before = snapshot();
    const float ball = e("gaugeBall").left();
    round().newGame();
    Snapshot after = snapshot();
    EXPECT_EQ(e("hoverZone").left(), 720);
    std::get<0>(before.elements["hoverZone"]) = 720;
    EXPECT_EQ(after, before);
    EXPECT_EQ(e("gaugeBall").left(), ball);
    EXPECT_EQ(statusLine().caption(), texts::kAskBlue);
    EXPECT_EQ(round().upAllowed, true);
    EXPECT_EQ(round().rightAllowed, false);
    EXPECT_EQ(round().caughtIndex, 0);
}

TEST_F(NewGameTest, AWonPrizeLeavesTheFieldForGood) {
    round().luckWon = true;
    round().caughtIndex = 5;
    round().newGame();
    EXPECT_FALSE(e("prize(5)").isVisible());
    EXPECT_EQ(e("prize(5)").left(), -1000);
    EXPECT_EQ(e("prize(5)").top(), 1920);
    EXPECT_EQ(round().luckWon, false);
    EXPECT_EQ(round().caughtIndex, 0);

    // A second new game hides nothing more; prize(0) in particular stays.
    const Snapshot before = snapshot();
    round().newGame();
    EXPECT_EQ(snapshot(), before);
    EXPECT_TRUE(e("prize(0)").isVisible());
}

TEST_F(NewGameTest, ACaughtButLostPrizeStaysWhereItLies) {
    round().luckWon = false;
    round().caughtIndex = 7;
    round().newGame();
    EXPECT_TRUE(e("prize(7)").isVisible());
    EXPECT_EQ(e("prize(7)").left(), 720);
    EXPECT_EQ(round().caughtIndex, 0);
}

TEST_F(NewGameTest, ResetsFlagsAndControlsButLeavesLegsAndAnimationRunning) {
    window().clawUpTimer.setEnabled(true);
    window().dropTimer.setEnabled(true);
    window().returnLeftTimer.setEnabled(true);
    window().returnDownTimer.setEnabled(true);
    window().gaugeTimer.setEnabled(false);
    round().upAllowed = false;
    round().rightAllowed = true;
    round().upStarted = round().rightStarted = round().ballGoingLeft = true;
    round().clawFrameCount = 3;
    for (const char* name : {"upHint", "rightHint", "claw", "gaugeTrack", "gaugeButton"}) {
        e(name).setVisible(!e(name).isVisible());
    }
    e("clawFrame(1)").setVisible(true);
    e("claw").setLeft(900);
    e("claw").setTop(300);
    e("upButton").setLeft(-5000);
    e("upButton").setEnabled(false);

    round().newGame();

    EXPECT_TRUE(window().clawUpTimer.isEnabled());
    EXPECT_TRUE(window().dropTimer.isEnabled());
    EXPECT_FALSE(window().returnLeftTimer.isEnabled());
    EXPECT_FALSE(window().returnDownTimer.isEnabled());
    EXPECT_TRUE(window().gaugeTimer.isEnabled());
    EXPECT_EQ(round().clawFrameCount, 3);
    EXPECT_EQ(std::tuple(round().upAllowed, round().rightAllowed, round().upStarted,
                         round().rightStarted, round().ballGoingLeft),
              std::tuple(true, false, false, false, false));
    EXPECT_TRUE(e("upHint").isVisible() && e("rightHint").isVisible() && e("claw").isVisible());
    EXPECT_FALSE(e("gaugeTrack").isVisible() || e("gaugeButton").isVisible() ||
                 e("clawFrame(1)").isVisible());
    EXPECT_EQ(std::pair(e("claw").left(), e("claw").top()), std::pair(0.0f, 2520.0f));
    EXPECT_EQ(e("upButton").left(), 840);
    EXPECT_TRUE(e("upButton").isEnabled());
    // The still-running up leg goes on from home.
    advance(80);
    EXPECT_EQ(e("claw").top(), 2490);
}

}  // namespace
}  // namespace kalvex::testing
