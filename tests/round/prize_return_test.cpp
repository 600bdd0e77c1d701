// SPDX-FileCopyrightText: 2026 Kalvex developers
//
// SPDX-License-Identifier: MIT

#include <QImage>

#include "round/texts.h"
#include "support/game_fixture.h"

namespace kalvex::testing {
namespace {

class ReturnTest : public GameTest {
protected:
    // Starts the return from a drop at the given point: a miss, a catch lost
    // at the gauge, or, when carrying, a catch won there. The drop's frames
    // are left as its animation ends, so only the return moves them.
    void startReturn(float left, float top, bool carrying = false) {
        dropAt(left, top);
        window().dropTimer.setEnabled(false);
        e("clawFrame(0)").setVisible(true);
        if (statusLine().caption() == texts::kAskClick) {
            clickGaugeWithBallAt(carrying ? 1680 : 1500);
        }
        ASSERT_EQ(statusLine().caption(), carrying ? texts::kSucceeded : texts::kFailed);
    }
    // Puts prize k where the claw will drop, so the drop catches it.
    void placePrize(int k, float left, float top) {
        e(QStringLiteral("prize(%1)").arg(k)).setLeft(left);
        e(QStringLiteral("prize(%1)").arg(k)).setTop(top);
    }
    std::pair<float, float> at(const QString& name) { return {e(name).left(), e(name).top()}; }
};

TEST_F(ReturnTest, EveryDropPointOnTheGridFinishesExactlyAtHome) {
    for (int a : {1, 2, 7, 40, 95}) {
        for (int b : {1, 3, 60, 100}) {
            SCOPED_TRACE(::testing::Message() << a << "," << b);
            startReturn(30.0f * a, 2520.0f - 30.0f * b);
            advance(80LL * a);
            EXPECT_FALSE(window().returnLeftTimer.isEnabled());
            EXPECT_TRUE(window().returnDownTimer.isEnabled());
            EXPECT_EQ(statusLine().caption(), texts::kFailed);
            advance(80LL * b);
            EXPECT_FALSE(window().returnDownTimer.isEnabled());
            EXPECT_EQ(at("claw"), std::pair(0.0f, 2520.0f));
            EXPECT_TRUE(e("claw").isVisible());
            EXPECT_FALSE(e("clawFrame(0)").isVisible());
            EXPECT_EQ(statusLine().caption(), texts::kThanks);
            click("newGameButton");
        }
    }
}

TEST_F(ReturnTest, EachLegMovesAtLeastOnce) {
    startReturn(0, 2400);
    advance(80 * 6);
    EXPECT_EQ(at("claw"), std::pair(-30.0f, 2520.0f));
    click("newGameButton");
    startReturn(300, 2520);
    advance(80 * 11);
    EXPECT_EQ(at("claw"), std::pair(0.0f, 2550.0f));
}

TEST_F(ReturnTest, AWonPrizeTravelsWithItsOffsetAndStaysAfterTheFinish) {
    startReturn(1470, 1890, true);  // prize(5) lies at 1440, 1920
    advance(80 * (49 + 21));
    EXPECT_EQ(at("claw"), std::pair(0.0f, 2520.0f));
    EXPECT_EQ(at("prize(5)"), std::pair(1440.0f - 1470, 1920.0f + 630));
    EXPECT_TRUE(e("prize(5)").isVisible());
    EXPECT_EQ(statusLine().caption(), texts::kCongratulations);
    click("newGameButton");
    EXPECT_FALSE(e("prize(5)").isVisible());
    EXPECT_EQ(e("prize(5)").left(), -1000);
}

TEST_F(ReturnTest, APrizeLostAtTheGaugeNeverMoves) {
    startReturn(1470, 1890);  // prize(5) caught, then lost
    advance(80 * 80);
    EXPECT_EQ(at("prize(5)"), std::pair(1440.0f, 1920.0f));
}

// A carried prize keeps its place in the field's stacking order, so it
// passes under the prizes ranked above it.
TEST_F(ReturnTest, ACarriedPrizePassesUnderHigherRankedPrizes) {
    const auto before = stackingOrder(window().playField());
    const QImage untouched = window().playField()->grab().toImage();
    // prize(12) (place 29) travels left along prize(7)'s row (place 25).
    placePrize(12, 1680, 1920);
    startReturn(1680, 1920, true);
    advance(80 * 32);  // 960 twips: prize(12) now lies exactly under prize(7)
    ASSERT_EQ(e("prize(12)").left(), 720);
    // The claw's frame, on top of the field, goes out of the way.
    e("clawFrame(0)").setVisible(false);
    EXPECT_EQ(stackingOrder(window().playField()), before);
    const QImage field = window().playField()->grab().toImage();
    const QImage seven = static_cast<Picture&>(e("prize(7)")).picture().toImage();
    const QImage twelve = static_cast<Picture&>(e("prize(12)")).picture().toImage();
    // Wherever prize(7) is opaque the field looks as before; elsewhere in
    // that square the carried prize shows.
    int covered = 0;
    for (int y = 0; y < 32; ++y) {
        for (int x = 0; x < 32; ++x) {
            const QPoint p(48 + x, 128 + y);
            if (qAlpha(seven.pixel(x, y)) == 255) {
                EXPECT_EQ(field.pixel(p), untouched.pixel(p)) << x << "," << y;
                covered += field.pixel(p) != twelve.pixel(x, y);
            }
        }
    }
    EXPECT_GT(covered, 100);
}

TEST_F(ReturnTest, AClickDuringTheHorizontalLegChangesNothing) {
    startReturn(300, 2400);
    advance(80 * 3);
    window().returnLeftTimer.setEnabled(true);  // what a second gauge click does
    advance(80 * 7);
    EXPECT_EQ(e("clawFrame(0)").left(), 0);
    EXPECT_TRUE(window().returnDownTimer.isEnabled());
    advance(80 * 4);
    EXPECT_EQ(at("claw"), std::pair(0.0f, 2520.0f));
}

TEST_F(ReturnTest, AClickDuringTheVerticalLegSendsTheClawOneStepFurtherLeft) {
    placePrize(1, 60, 2400);
    startReturn(60, 2400, true);
    advance(80 * 2 + 80);  // one vertical step done
    ASSERT_EQ(at("clawFrame(0)"), std::pair(0.0f, 2430.0f));
    window().returnLeftTimer.setEnabled(true);
    advance(80 * 3);
    EXPECT_FALSE(window().returnLeftTimer.isEnabled());
    EXPECT_EQ(at("claw"), std::pair(-30.0f, 2520.0f));
    EXPECT_EQ(e("prize(1)").left(), 60 - 90);
}

TEST_F(ReturnTest, AClickAfterTheFinishRepeatsItOneStepLeftAndDown) {
    placePrize(2, 30, 2490);
    startReturn(30, 2490, true);
    advance(80 * 2);
    ASSERT_EQ(statusLine().caption(), texts::kCongratulations);
    statusLine().setCaption(QString());
    window().returnLeftTimer.setEnabled(true);
    advance(80 * 2);
    EXPECT_EQ(at("claw"), std::pair(-30.0f, 2550.0f));
    EXPECT_EQ(at("prize(2)"), std::pair(30.0f - 60, 2490.0f + 60));
    EXPECT_EQ(statusLine().caption(), texts::kCongratulations);
}

TEST_F(ReturnTest, ANewGameStopsEitherLegWhereItIs) {
    startReturn(300, 2400);
    advance(80 * 4);
    click("newGameButton");
    advance(800);
    EXPECT_EQ(e("clawFrame(0)").left(), 300 - 120);
    EXPECT_FALSE(e("clawFrame(0)").isVisible());
    placePrize(3, 30, 2400);
    startReturn(30, 2400, true);
    advance(80 * 2);
    click("newGameButton");
    advance(800);
    EXPECT_EQ(e("clawFrame(0)").top(), 2430);
    EXPECT_FALSE(e("prize(3)").isVisible());
    EXPECT_EQ(e("prize(3)").left(), -1000);
}

}  // namespace
}  // namespace kalvex::testing
