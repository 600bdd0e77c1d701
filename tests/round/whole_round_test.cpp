// SPDX-FileCopyrightText: 2026 Kalvex developers
//
// SPDX-License-Identifier: MIT

#include <QTest>

#include "round/texts.h"
#include "support/game_fixture.h"

namespace kalvex::testing {
namespace {

using WholeRoundTest = GameTest;

TEST_F(WholeRoundTest, AWonPrizeComesHomeAndNeverReturns) {
    steer(5, 25);
    ASSERT_EQ(statusLine().caption(), texts::kAskClick);
    // Wait for the ball to reach the middle band, as a player would.
    for (int i = 0; i < 84 && e("gaugeBall").left() != 1680; ++i) {
        advance(30);
    }
    ASSERT_EQ(e("gaugeBall").left(), 1680);
    click("gaugeButton");
    EXPECT_EQ(statusLine().caption(), texts::kSucceeded);
    advance(80 * (25 + 5 + 1));
    EXPECT_EQ(statusLine().caption(), texts::kCongratulations);
    EXPECT_EQ(std::pair(e("claw").left(), e("claw").top()), std::pair(0.0f, 2520.0f));
    EXPECT_EQ(std::pair(e("prize(18)").left(), e("prize(18)").top()), std::pair(90.0f, 2550.0f));

    click("newGameButton");
    EXPECT_FALSE(e("prize(18)").isVisible());
    // The next round over the same spot finds nothing there.
    steer(5, 25);
    EXPECT_EQ(statusLine().caption(), texts::kFailed);
    advance(80 * 31);
    EXPECT_EQ(statusLine().caption(), texts::kThanks);
    click("newGameButton");
    EXPECT_FALSE(e("prize(18)").isVisible());
    EXPECT_EQ(e("prize(18)").left(), -1000);
}

TEST_F(WholeRoundTest, AGaugeMissedReturnsTheEmptyClaw) {
    steer(5, 25);
    advance(30 * 10);
    click("gaugeButton");
    EXPECT_EQ(statusLine().caption(), texts::kFailed);
    advance(80 * 40);
    EXPECT_EQ(statusLine().caption(), texts::kThanks);
    EXPECT_EQ(e("prize(18)").left(), 840);
}

// Real timers and real pointer events: the wiring of a whole round.
TEST(RealTimeRound, PlaysARoundWithRealTimers) {
    RealClock clock;
    RecordingDialogs dialogs;
    GameWindow window(clock, dialogs);
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    QWindow* handle = window.windowHandle();
    auto& status = static_cast<CaptionElement&>(window.element("statusLine"));
    QTest::mouseMove(handle, QPoint(3, 3));
    QTest::mouseMove(handle, QPoint(72, 272));  // blue button
    QTest::qWait(260);
    QTest::mouseMove(handle, QPoint(20, 310));  // the zone
    EXPECT_EQ(status.caption(), texts::kAskRed);
    QTest::mouseMove(handle, QPoint(152, 272));  // red button
    QTest::qWait(260);
    QTest::mouseMove(handle, QPoint(20, 311));
    EXPECT_FALSE(window.element("claw").isVisible());
    EXPECT_LT(window.element("clawFrame(0)").top(), 2520);
    EXPECT_GT(window.element("clawFrame(0)").left(), 0);
    if (status.caption() == texts::kAskClick) {
        QTest::mouseClick(handle, Qt::LeftButton, Qt::NoModifier, QPoint(112, 266));
    }
    QTRY_VERIFY_WITH_TIMEOUT(
        status.caption() == texts::kThanks || status.caption() == texts::kCongratulations, 5000);
    EXPECT_TRUE(window.element("claw").isVisible());
    EXPECT_EQ(window.element("claw").top(), 2520);
}

}  // namespace
}  // namespace kalvex::testing
