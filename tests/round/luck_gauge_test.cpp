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
    float ball() { return e("gaugeBall").left(); }
    void tick() { round().moveGaugeBall(); }
    // Shows the gauge as a catch would, then clicks its button with the ball at `at`.
    void clickWithBallAt(float at) {
        round().showLuckGauge();
        window().gaugeTimer.setEnabled(false);
        e("gaugeBall").setLeft(at);
        click("gaugeButton");
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
    EXPECT_EQ(round().ballGoingLeft, false);
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
    e("gaugeBall").setLeft(400);
    round().ballGoingLeft = true;
    tick();
    EXPECT_EQ(ball(), 460);
    e("gaugeBall").setLeft(401);
    round().ballGoingLeft = true;
    tick();
    EXPECT_EQ(ball(), 341);
    e("gaugeBall").setLeft(2865);
    round().ballGoingLeft = false;
    tick();
    EXPECT_EQ(ball(), 2805);
    e("gaugeBall").setLeft(2864);
    round().ballGoingLeft = false;
    tick();
    EXPECT_EQ(ball(), 2924);
}

TEST_F(LuckGaugeTest, TheBallRunsHiddenFromStartUp) {
    advance(300);
    EXPECT_FALSE(e("gaugeBall").isVisible());
    EXPECT_EQ(ball(), 1680 + 600);
}

TEST_F(LuckGaugeTest, ANewGameSendsABallRunningLeftBackToTheRight) {
    advance(30 * 30);  // past the right turn: running left at 2580
    ASSERT_EQ(round().ballGoingLeft, true);
    const float at = ball();
    round().newGame();
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
        EXPECT_EQ(round().luckWon, c.won);
        EXPECT_EQ(statusLine().caption(), c.won ? texts::kSucceeded : texts::kFailed);
        EXPECT_TRUE(window().returnLeftTimer.isEnabled());
        window().returnLeftTimer.setEnabled(false);
    }
}

TEST_F(LuckGaugeTest, TheClickFreezesTheBallAndASecondClickJudgesItAgain) {
    round().showLuckGauge();
    EXPECT_EQ(statusLine().caption(), texts::kAskClick);
    advance(90);
    click("gaugeButton");
    const float frozen = ball();
    const bool won = round().luckWon;
    advance(500);
    EXPECT_EQ(ball(), frozen);
    EXPECT_TRUE(e("gaugeButton").isVisible() && e("gaugeBall").isVisible());
    window().returnLeftTimer.setEnabled(false);
    click("gaugeButton");
    EXPECT_EQ(round().luckWon, won);
    EXPECT_TRUE(window().returnLeftTimer.isEnabled());
}

}  // namespace
}  // namespace kalvex::testing
