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
    ASSERT_EQ(round().caughtIndex, 18);
    // Wait for the ball to reach the middle band, as a player would.
    for (int i = 0; i < 84 && e("Luck_check2").Left() != 1680; ++i) {
        advance(30);
    }
    ASSERT_EQ(e("Luck_check2").Left(), 1680);
    click("luckclick");
    EXPECT_EQ(label1().Caption(), texts::kSucceeded);
    advance(80 * (25 + 5 + 1));
    EXPECT_EQ(label1().Caption(), texts::kCongratulations);
    EXPECT_EQ(std::pair(e("Hand").Left(), e("Hand").Top()), std::pair(0.0f, 2520.0f));
    EXPECT_EQ(std::pair(e("icons(18)").Left(), e("icons(18)").Top()), std::pair(90.0f, 2550.0f));

    click("Command1");
    EXPECT_FALSE(e("icons(18)").Visible());
    // The next round over the same spot finds nothing there.
    steer(5, 25);
    EXPECT_EQ(label1().Caption(), texts::kFailed);
    advance(80 * 31);
    EXPECT_EQ(label1().Caption(), texts::kThanks);
    click("Command1");
    EXPECT_FALSE(e("icons(18)").Visible());
    EXPECT_EQ(e("icons(18)").Left(), -1000);
}

TEST_F(WholeRoundTest, AGaugeMissedReturnsTheEmptyClaw) {
    steer(5, 25);
    advance(30 * 10);
    click("luckclick");
    EXPECT_EQ(round().luckWon, kFalse);
    advance(80 * 40);
    EXPECT_EQ(label1().Caption(), texts::kThanks);
    EXPECT_EQ(e("icons(18)").Left(), 840);
}

// Real timers and real pointer events: the wiring of a whole round.
TEST(RealTimeRound, PlaysARoundWithRealTimers) {
    RealClock clock;
    RecordingDialogs dialogs;
    frmGame window(clock, dialogs);
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    QWindow* handle = window.windowHandle();
    auto& status = static_cast<CaptionElement&>(window.element("Label1"));
    QTest::mouseMove(handle, QPoint(3, 3));
    QTest::mouseMove(handle, QPoint(72, 272));  // blue button
    QTest::qWait(260);
    QTest::mouseMove(handle, QPoint(20, 310));  // the zone
    EXPECT_EQ(status.Caption(), texts::kAskRed);
    QTest::mouseMove(handle, QPoint(152, 272));  // red button
    QTest::qWait(260);
    QTest::mouseMove(handle, QPoint(20, 311));
    EXPECT_FALSE(window.element("Hand").Visible());
    EXPECT_LT(window.element("handed(0)").Top(), 2520);
    EXPECT_GT(window.element("handed(0)").Left(), 0);
    if (status.Caption() == texts::kAskClick) {
        QTest::mouseClick(handle, Qt::LeftButton, Qt::NoModifier, QPoint(112, 266));
    }
    QTRY_VERIFY_WITH_TIMEOUT(
        status.Caption() == texts::kThanks || status.Caption() == texts::kCongratulations, 5000);
    EXPECT_TRUE(window.element("Hand").Visible());
    EXPECT_EQ(window.element("Hand").Top(), 2520);
}

}  // namespace
}  // namespace kalvex::testing
