// SPDX-FileCopyrightText: 2026 Kalvex developers
//
// SPDX-License-Identifier: MIT

#include <set>

#include "round/texts.h"
#include "support/game_fixture.h"

namespace kalvex::testing {
namespace {

class LuckGaugeTest : public GameTest {
protected:
    float ball() { return e("Luck_check2").Left(); }
    void tick() { round().tmrLuck_Timer(); }
    // Shows the gauge as a catch would, then clicks its button with the ball at `at`.
    void clickWithBallAt(float at) {
        round().ShowLuckGauge();
        window().tmrLuck.setEnabled(false);
        e("Luck_check2").setLeft(at);
        click("luckclick");
    }
};

TEST_F(LuckGaugeTest, TheBallRunsABouncingCycleOfEightyFourTicks) {
    std::set<float> positions;
    std::vector<float> inBand;
    float lowest = ball(), highest = ball();
    for (int i = 0; i < 84; ++i) {
        tick();
        positions.insert(ball());
        lowest = std::min(lowest, ball());
        highest = std::max(highest, ball());
        if (ball() >= 1560 && ball() <= 1800) {
            inBand.push_back(ball());
        }
    }
    EXPECT_EQ(ball(), 1680);
    EXPECT_EQ(round().luckGoingBack, kFalse);
    EXPECT_EQ(round().luckStep, 60);
    EXPECT_EQ(lowest, 360);
    EXPECT_EQ(highest, 2880);
    for (float p : positions) {
        EXPECT_EQ(std::fmod(p - 1680, 60.0f), 0.0f) << p;
    }
    EXPECT_EQ(positions.size(), 43u);
    EXPECT_EQ(inBand.size(), 10u);  // five positions on each pass
    EXPECT_EQ(std::set<float>(inBand.begin(), inBand.end()),
              (std::set<float>{1560, 1620, 1680, 1740, 1800}));
}

TEST_F(LuckGaugeTest, DirectionIsDecidedBeforeTheMoveAtTheThresholds) {
    e("Luck_check2").setLeft(400);
    round().luckGoingBack = kTrue;
    tick();
    EXPECT_EQ(ball(), 460);
    e("Luck_check2").setLeft(401);
    round().luckGoingBack = kTrue;
    tick();
    EXPECT_EQ(ball(), 341);
    e("Luck_check2").setLeft(2865);
    round().luckGoingBack = kFalse;
    tick();
    EXPECT_EQ(ball(), 2805);
    e("Luck_check2").setLeft(2864);
    round().luckGoingBack = kFalse;
    tick();
    EXPECT_EQ(ball(), 2924);
}

TEST_F(LuckGaugeTest, TheBallRunsHiddenFromStartUp) {
    advance(300);
    EXPECT_FALSE(e("Luck_check2").Visible());
    EXPECT_EQ(ball(), 1680 + 600);
}

TEST_F(LuckGaugeTest, ANewGameSendsABallRunningLeftBackToTheRight) {
    advance(30 * 30);  // past the right turn: running left at 2580
    ASSERT_EQ(round().luckGoingBack, kTrue);
    const float at = ball();
    round().Command1_Click();
    advance(30);
    EXPECT_EQ(ball(), at + 60);
}

TEST_F(LuckGaugeTest, TheBandIncludesItsEdges) {
    struct {
        float at;
        bool won;
    } const cases[] = {{1560, true}, {1800, true}, {1680, true}, {1500, false}, {1860, false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.at);
        clickWithBallAt(c.at);
        EXPECT_EQ(round().luckWon, c.won ? kTrue : kFalse);
        EXPECT_EQ(label1().Caption(), c.won ? texts::kSucceeded : texts::kFailed);
        EXPECT_TRUE(window().tmrBackleft.Enabled());
        window().tmrBackleft.setEnabled(false);
    }
}

TEST_F(LuckGaugeTest, TheClickFreezesTheBallAndASecondClickJudgesItAgain) {
    round().ShowLuckGauge();
    EXPECT_EQ(label1().Caption(), texts::kAskClick);
    advance(90);
    click("luckclick");
    const float frozen = ball();
    const Flag won = round().luckWon;
    advance(500);
    EXPECT_EQ(ball(), frozen);
    EXPECT_TRUE(e("luckclick").Visible() && e("Luck_check2").Visible());
    window().tmrBackleft.setEnabled(false);
    click("luckclick");
    EXPECT_EQ(round().luckWon, won);
    EXPECT_TRUE(window().tmrBackleft.Enabled());
}

}  // namespace
}  // namespace kalvex::testing
