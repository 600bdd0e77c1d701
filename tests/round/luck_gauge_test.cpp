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
    // One tick of the ball's timer, the only one running at start-up.
    void tick() { advance(30); }
    // Catches prize 18, dropping the claw right on it, which shows the gauge.
    void catchPrize() {
        dropAt(e("prize(18)").left(), e("prize(18)").top());
        ASSERT_EQ(statusLine().caption(), texts::kAskClick);
    }
};

TEST_F(LuckGaugeTest, TheBallRunsABouncingCycleOfEightyFourTicks) {
    std::set<float> positions;
    std::vector<float> inBand;
    float lowest = ball(), highest = ball();
    ASSERT_EQ(ball(), 1680);
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
    EXPECT_EQ(lowest, 360);
    EXPECT_EQ(highest, 2880);
    for (float p : positions) {
        EXPECT_EQ(std::fmod(p - 1680, 60.0f), 0.0f) << p;
    }
    EXPECT_EQ(positions.size(), 43u);
    EXPECT_EQ(inBand.size(), 10u);  // five positions on each pass
    EXPECT_EQ(std::set<float>(inBand.begin(), inBand.end()),
              (std::set<float>{1560, 1620, 1680, 1740, 1800}));
    // The cycle ends where it began, running right again, 60 a tick.
    tick();
    EXPECT_EQ(ball(), 1740);
}

TEST_F(LuckGaugeTest, DirectionIsDecidedBeforeTheMoveAtTheThresholds) {
    // Running right, as from start-up.
    e("gaugeBall").setLeft(2864);
    tick();
    EXPECT_EQ(ball(), 2924);
    e("gaugeBall").setLeft(2865);
    tick();
    EXPECT_EQ(ball(), 2805);
    // Running left now.
    e("gaugeBall").setLeft(401);
    tick();
    EXPECT_EQ(ball(), 341);
    e("gaugeBall").setLeft(400);
    tick();
    EXPECT_EQ(ball(), 460);
}

TEST_F(LuckGaugeTest, TheBallRunsHiddenFromStartUp) {
    advance(300);
    EXPECT_FALSE(e("gaugeBall").isVisible());
    EXPECT_EQ(ball(), 1680 + 600);
}

TEST_F(LuckGaugeTest, ANewGameSendsABallRunningLeftBackToTheRight) {
    advance(30 * 29);
    const float before = ball();
    advance(30);  // past the right turn: running left at 2580
    ASSERT_EQ(ball(), before - 60);
    const float at = ball();
    click("newGameButton");
    advance(30);
    EXPECT_EQ(ball(), at + 60);
}

TEST_F(LuckGaugeTest, TheBandIncludesItsEdges) {
    struct {
        float at;
        bool won;
    } const cases[] = {{1560, true}, {1800, true}, {1680, true}, {1500, false}, {1860, false}};
    catchPrize();
    for (const auto& c : cases) {
        SCOPED_TRACE(c.at);
        clickGaugeWithBallAt(c.at);
        EXPECT_EQ(statusLine().caption(), c.won ? texts::kSucceeded : texts::kFailed);
        EXPECT_TRUE(window().returnLeftTimer.isEnabled());
        // Only a won prize goes home with the claw.
        EXPECT_EQ(carriedPrize(), c.won ? 18 : -1);
        window().returnLeftTimer.setEnabled(false);
    }
}

TEST_F(LuckGaugeTest, TheClickFreezesTheBallAndASecondClickJudgesItAgain) {
    catchPrize();
    EXPECT_EQ(statusLine().caption(), texts::kAskClick);
    advance(90);
    click("gaugeButton");
    const float frozen = ball();
    const QString judged = statusLine().caption();
    advance(500);
    EXPECT_EQ(ball(), frozen);
    EXPECT_TRUE(e("gaugeButton").isVisible() && e("gaugeBall").isVisible());
    window().returnLeftTimer.setEnabled(false);
    statusLine().setCaption(QString());
    click("gaugeButton");
    EXPECT_EQ(statusLine().caption(), judged);
    EXPECT_TRUE(window().returnLeftTimer.isEnabled());
}

}  // namespace
}  // namespace kalvex::testing
