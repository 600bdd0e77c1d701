// SPDX-FileCopyrightText: 2026 Kalvex developers
//
// SPDX-License-Identifier: MIT

#include "round/position_copy.h"
#include "round/texts.h"
#include "support/game_fixture.h"

namespace kalvex::testing {
namespace {

class JudgementTest : public GameTest {
protected:
    QString icon(int k) { return QStringLiteral("prize(%1)").arg(k); }
    // Leaves only the given prizes on the field: the others go to -1000.
    void keepOnly(std::initializer_list<int> kept) {
        for (int k = 0; k < kPrizeCount; ++k) {
            if (std::find(kept.begin(), kept.end(), k) == kept.end()) {
                e(icon(k)).setLeft(-1000);
            }
        }
    }
    // Judges with the claw at the given offset from prize k.
    int judgeAt(int k, float dLeft, float dTop) {
        e("claw").setLeft(e(icon(k)).left() + dLeft);
        e("claw").setTop(e(icon(k)).top() + dTop);
        return judge();
    }
    // Drops the claw where it stands and tells the caught prize, or 0 for a
    // miss: a won gauge sends the caught prize home with the claw. The field
    // and the claw are then put back for the next judgement.
    int judge() {
        const float left = e("claw").left(), top = e("claw").top();
        struct Place {
            float left, top;
            bool visible;
        };
        std::array<Place, kPrizeCount> places{};
        for (int k = 0; k < kPrizeCount; ++k) {
            places[k] = {e(icon(k)).left(), e(icon(k)).top(), e(icon(k)).isVisible()};
        }
        click("newGameButton");
        dropAt(left, top);
        int caught = 0;
        if (statusLine().caption() == texts::kAskClick) {
            clickGaugeWithBallAt(1680);
            caught = carriedPrize();
        }
        click("newGameButton");
        for (int k = 0; k < kPrizeCount; ++k) {
            e(icon(k)).setLeft(places[k].left);
            e(icon(k)).setTop(places[k].top);
            e(icon(k)).setVisible(places[k].visible);
        }
        e("claw").setLeft(left);
        e("claw").setTop(top);
        return caught;
    }
};

// Every prize, on its own, at the edges of its window on both axes.
TEST_F(JudgementTest, EachPrizesWindowIncludesItsEdgesOnBothAxes) {
    std::array<float, kPrizeCount> lefts{};
    for (int k = 0; k < kPrizeCount; ++k) {
        lefts[k] = e(icon(k)).left();
    }
    for (int k = 1; k < kPrizeCount; ++k) {
        SCOPED_TRACE(k);
        keepOnly({k});
        e(icon(k)).setLeft(lefts[k]);
        const bool large = k >= 22;
        const float low = large ? 30 : -150, high = large ? 150 : 30;
        EXPECT_EQ(judgeAt(k, low, low), k);
        EXPECT_EQ(judgeAt(k, high, high), k);
        EXPECT_EQ(judgeAt(k, low, high), k);
        EXPECT_EQ(judgeAt(k, (low + high) / 2, low), k);
        EXPECT_EQ(judgeAt(k, low - 1, low), 0);
        EXPECT_EQ(judgeAt(k, high + 1, high), 0);
        // Inside on one axis, outside on the other.
        EXPECT_EQ(judgeAt(k, low, low - 1), 0);
        EXPECT_EQ(judgeAt(k, high, high + 1), 0);
        EXPECT_EQ(judgeAt(k, high + 1, low), 0);
        EXPECT_EQ(judgeAt(k, low - 1, high + 1), 0);
        keepOnly({});
    }
}

TEST_F(JudgementTest, TheSmallestSmallPrizeWinsAndLargeOnesOnlyWhenNoSmallQualifies) {
    keepOnly({3, 5, 22, 24});
    for (int k : {3, 5}) {
        e(icon(k)).setLeft(1200);
        e(icon(k)).setTop(1200);
    }
    for (int k : {22, 24}) {
        e(icon(k)).setLeft(1200 - 90);
        e(icon(k)).setTop(1200 - 90);
    }
    e("claw").setLeft(1200);
    e("claw").setTop(1200);
    EXPECT_EQ(judge(), 3);
    e(icon(3)).setLeft(-1000);
    EXPECT_EQ(judge(), 5);
    e(icon(5)).setLeft(-1000);
    EXPECT_EQ(judge(), 22);
    e(icon(22)).setLeft(-1000);
    EXPECT_EQ(judge(), 24);
}

TEST_F(JudgementTest, TheEmptySlotIsNeverCaught) {
    keepOnly({0});
    for (float d : {-150.0f, -60.0f, 0.0f, 30.0f, 90.0f, 150.0f}) {
        EXPECT_EQ(judgeAt(0, d, d), 0);
    }
}

TEST_F(JudgementTest, HiddenPrizesAreJudgedByPositionAlone) {
    keepOnly({9});
    e(icon(9)).setVisible(false);
    EXPECT_EQ(judgeAt(9, 0, 0), 9);
}

TEST_F(JudgementTest, ARemovedPrizeIsOutOfReach) {
    keepOnly({});
    e("claw").setLeft(0);
    e("claw").setTop(e(icon(6)).top());
    EXPECT_EQ(judge(), 0);
}

TEST_F(JudgementTest, AMissReportsAtOnceAndStartsTheEmptyReturn) {
    steer(1, 1);
    EXPECT_EQ(statusLine().caption(), texts::kFailed);
    EXPECT_TRUE(window().returnLeftTimer.isEnabled());
    EXPECT_FALSE(e("gaugeButton").isVisible());
    EXPECT_EQ(carriedPrize(), -1);
}

TEST_F(JudgementTest, ACatchShowsTheGaugeAndLeavesTheOutcomeOpen) {
    steer(5, 25);
    EXPECT_EQ(statusLine().caption(), texts::kAskClick);
    EXPECT_TRUE(e("gaugeButton").isVisible() && e("gaugeTrack").isVisible() &&
                e("gaugeBall").isVisible() && e("gaugeMark").isVisible());
    EXPECT_FALSE(window().returnLeftTimer.isEnabled());
    // Only the gauge decides; won, it sends the caught prize home.
    clickGaugeWithBallAt(1680);
    EXPECT_EQ(carriedPrize(), 18);
}

// A Left is judged rounded, halves to even; a Top as it is.
TEST_F(JudgementTest, MeasuresPositionsAsSevenDigitCopies) {
    keepOnly({5, 22});                   // prize(5) at (1440, 1920), prize(22) at (0, 1680)
    EXPECT_EQ(judgeAt(5, 30.5f, 0), 5);  // 1470.5 counts as 1470
    EXPECT_EQ(judgeAt(5, 31.5f, 0), 0);  // 1471.5 counts as 1472
    EXPECT_EQ(judgeAt(5, 0, 30), 5);
    EXPECT_EQ(judgeAt(5, 0, 30.5f), 0);
    EXPECT_EQ(judgeAt(22, 150.5f, 150), 22);  // 150.5 counts as 150
    EXPECT_EQ(judgeAt(22, 29.5f, 30), 22);    // 29.5 counts as 30
    EXPECT_EQ(copyPosition(1234.5678f), 1234.568);
    EXPECT_EQ(copyPosition(-20.0f), -20.0);
    EXPECT_EQ(toInt16(2.5), 2);
    EXPECT_EQ(toInt16(3.5), 4);
    EXPECT_EQ(toInt16(-2.5), -2);
    EXPECT_EQ(toInt16(32767.4), 32767);
    EXPECT_FALSE(toInt16(32767.5).has_value());
    EXPECT_FALSE(toInt16(-32769).has_value());
}

// A claw steered far right is under no prize, an ordinary miss: where its
// Left fits 16 bits but its distance from a won prize parked at -1000 does
// not (31770 + 1000), and where its Left itself no longer fits.
TEST_F(JudgementTest, AClawSteeredFarRightMissesAndComesHome) {
    steer(5, 25);
    ASSERT_EQ(statusLine().caption(), texts::kAskClick);
    for (int i = 0; i < 84 && e("gaugeBall").left() != 1680; ++i) {
        advance(30);
    }
    click("gaugeButton");
    ASSERT_EQ(statusLine().caption(), texts::kSucceeded);
    advance(80 * (25 + 5 + 1));
    click("newGameButton");
    ASSERT_EQ(e("prize(18)").left(), -1000);

    for (int sideTicks : {1059, 1100}) {
        SCOPED_TRACE(sideTicks);
        steer(3, sideTicks);
        EXPECT_EQ(e("clawFrame(0)").left(), 30.0f * sideTicks);
        EXPECT_EQ(statusLine().caption(), texts::kFailed);
        EXPECT_TRUE(window().returnLeftTimer.isEnabled());
        advance(80 * (sideTicks + 3 + 1));
        EXPECT_EQ(statusLine().caption(), texts::kThanks);
        EXPECT_EQ(std::pair(e("claw").left(), e("claw").top()), std::pair(0.0f, 2520.0f));
        click("newGameButton");
    }
}

class DropTest : public GameTest {
protected:
    // Which of claw and the three frames are visible.
    std::string shown() {
        std::string s;
        for (const char* name : {"claw", "clawFrame(0)", "clawFrame(1)", "clawFrame(2)"}) {
            s += e(name).isVisible() ? '1' : '0';
        }
        return s;
    }
};

TEST_F(DropTest, FramesTakeTheClawsPlaceAndTheControlsLeave) {
    steer(4, 6);
    for (const char* frame : {"clawFrame(0)", "clawFrame(1)", "clawFrame(2)"}) {
        EXPECT_EQ(e(frame).left(), 180) << frame;
        EXPECT_EQ(e(frame).top(), 2400) << frame;
    }
    EXPECT_EQ(e("upButton").left(), -5000);
    EXPECT_EQ(e("rightButton").left(), -5000);
    EXPECT_EQ(e("hoverZone").left(), -5000);
    EXPECT_TRUE(window().dropTimer.isEnabled());
    // With the zone gone no further move reaches the drop.
    pointerTo(1800, 4700);
    EXPECT_EQ(e("clawFrame(0)").left(), 180);
    // The red button is dead, even if brought back.
    e("rightButton").setLeft(2040);
    hover("rightButton");
    EXPECT_FALSE(window().clawRightTimer.isEnabled());
}

TEST_F(DropTest, AnimationShowsLoweredThenBottomThenClosedClaw) {
    steer(5, 25);  // a catch: nothing else moves the frames
    const std::vector<std::string> expected = {"0000", "0000", "0010", "0010",
                                               "0010", "0001", "0001", "0100"};
    std::vector<std::string> got = {shown()};
    for (int tick = 1; tick <= 7; ++tick) {
        advance(50);
        got.push_back(shown());
    }
    EXPECT_EQ(got, expected);
    EXPECT_FALSE(window().dropTimer.isEnabled());
    advance(500);
    EXPECT_EQ(shown(), "0100");
    // The count starts afresh: the next drop shows the same frames at the same ticks.
    click("newGameButton");
    steer(5, 25);
    got = {shown()};
    for (int tick = 1; tick <= 7; ++tick) {
        advance(50);
        got.push_back(shown());
    }
    EXPECT_EQ(got, expected);
}

TEST_F(DropTest, ANewGameDuringTheAnimationLetsItsRemainingFramesShow) {
    steer(5, 25);
    advance(100);  // clawFrame(1) showing
    click("newGameButton");
    EXPECT_EQ(shown(), "1000");
    EXPECT_TRUE(window().dropTimer.isEnabled());
    advance(150);  // counter 5
    EXPECT_EQ(shown(), "1001");
    EXPECT_EQ(e("clawFrame(2)").left(), 750);
    advance(100);  // counter 7
    EXPECT_EQ(shown(), "1100");
    EXPECT_EQ(e("clawFrame(0)").left(), 750);
    EXPECT_FALSE(window().dropTimer.isEnabled());
}

// On a miss the return (80 ms) and the animation (50 ms) tick together.
TEST_F(DropTest, AMissReturnsWhileTheAnimationRuns) {
    window().gaugeTimer.setEnabled(false);  // keep the log to the two timers at hand
    steer(2, 10);
    std::vector<std::tuple<qint64, float, std::string>> log;
    const qint64 start = clock.now();
    while (clock.now() - start < 400) {
        clock.step();
        log.emplace_back(clock.now() - start, e("clawFrame(0)").left(), shown());
    }
    const std::vector<std::tuple<qint64, float, std::string>> expected = {
        {50, 300, "0000"},  {80, 270, "0000"},  {100, 270, "0010"}, {150, 270, "0010"},
        {160, 240, "0010"}, {200, 240, "0010"}, {240, 210, "0010"}, {250, 210, "0001"},
        {300, 210, "0001"}, {320, 180, "0001"}, {350, 180, "0100"}, {400, 150, "0100"},
    };
    EXPECT_EQ(log, expected);
}

}  // namespace
}  // namespace kalvex::testing
