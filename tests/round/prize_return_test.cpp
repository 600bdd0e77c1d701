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
    // Starts the return as a miss or a judged gauge does, from the given point.
    void startReturn(float left, float top, bool carrying = false, int prize = 0) {
        e("Hand").setVisible(false);
        e("handed(0)").setLeft(left);
        e("handed(0)").setTop(top);
        e("handed(0)").setVisible(true);
        round().luckWon = carrying ? kTrue : kFalse;
        round().caughtIndex = static_cast<std::int16_t>(prize);
        window().tmrBackleft.setEnabled(true);
    }
    std::pair<float, float> at(const QString& name) { return {e(name).Left(), e(name).Top()}; }
};

TEST_F(ReturnTest, EveryDropPointOnTheGridFinishesExactlyAtHome) {
    for (int a : {1, 2, 7, 40, 95}) {
        for (int b : {1, 3, 60, 100}) {
            SCOPED_TRACE(::testing::Message() << a << "," << b);
            startReturn(30.0f * a, 2520.0f - 30.0f * b);
            advance(80LL * a);
            EXPECT_FALSE(window().tmrBackleft.Enabled());
            EXPECT_TRUE(window().tmrBacktop.Enabled());
            EXPECT_EQ(label1().Caption(), texts::kAskBlue);
            advance(80LL * b);
            EXPECT_FALSE(window().tmrBacktop.Enabled());
            EXPECT_EQ(at("Hand"), std::pair(0.0f, 2520.0f));
            EXPECT_TRUE(e("Hand").Visible());
            EXPECT_FALSE(e("handed(0)").Visible());
            EXPECT_EQ(label1().Caption(), texts::kThanks);
            round().Command1_Click();
        }
    }
}

TEST_F(ReturnTest, EachLegMovesAtLeastOnce) {
    startReturn(0, 2400);
    advance(80 * 6);
    EXPECT_EQ(at("Hand"), std::pair(-30.0f, 2520.0f));
    round().Command1_Click();
    startReturn(300, 2520);
    advance(80 * 11);
    EXPECT_EQ(at("Hand"), std::pair(0.0f, 2550.0f));
}

TEST_F(ReturnTest, AWonPrizeTravelsWithItsOffsetAndStaysAfterTheFinish) {
    startReturn(1500, 1890, true, 5);  // icons(5) lies at 1440, 1920
    advance(80 * (50 + 21));
    EXPECT_EQ(at("Hand"), std::pair(0.0f, 2520.0f));
    EXPECT_EQ(at("icons(5)"), std::pair(1440.0f - 1500, 1920.0f + 630));
    EXPECT_TRUE(e("icons(5)").Visible());
    EXPECT_EQ(label1().Caption(), texts::kCongratulations);
    round().Command1_Click();
    EXPECT_FALSE(e("icons(5)").Visible());
    EXPECT_EQ(e("icons(5)").Left(), -1000);
}

TEST_F(ReturnTest, APrizeLostAtTheGaugeNeverMoves) {
    startReturn(1500, 1890, false, 5);
    advance(80 * 80);
    EXPECT_EQ(at("icons(5)"), std::pair(1440.0f, 1920.0f));
}

// A carried prize keeps its place in the field's stacking order, so it
// passes under the prizes ranked above it.
TEST_F(ReturnTest, ACarriedPrizePassesUnderHigherRankedPrizes) {
    const auto before = window().stackingOrder(window().playField());
    const QImage untouched = window().playField()->grab().toImage();
    // icons(12) (place 29) travels left along icons(7)'s row (place 25).
    e("icons(12)").setTop(1920);
    startReturn(1700, 1000, true, 12);
    advance(80 * 32);  // 960 twips: icons(12) now lies exactly under icons(7)
    ASSERT_EQ(e("icons(12)").Left(), 720);
    EXPECT_EQ(window().stackingOrder(window().playField()), before);
    const QImage field = window().playField()->grab().toImage();
    const QImage seven = static_cast<Picture&>(e("icons(7)")).picture().toImage();
    const QImage twelve = static_cast<Picture&>(e("icons(12)")).picture().toImage();
    // Wherever icons(7) is opaque the field looks as before; elsewhere in
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
    window().tmrBackleft.setEnabled(true);  // what a second gauge click does
    advance(80 * 7);
    EXPECT_EQ(e("handed(0)").Left(), 0);
    EXPECT_TRUE(window().tmrBacktop.Enabled());
    advance(80 * 4);
    EXPECT_EQ(at("Hand"), std::pair(0.0f, 2520.0f));
}

TEST_F(ReturnTest, AClickDuringTheVerticalLegSendsTheClawOneStepFurtherLeft) {
    startReturn(60, 2400, true, 1);
    advance(80 * 2 + 80);  // one vertical step done
    ASSERT_EQ(at("handed(0)"), std::pair(0.0f, 2430.0f));
    window().tmrBackleft.setEnabled(true);
    advance(80 * 3);
    EXPECT_FALSE(window().tmrBackleft.Enabled());
    EXPECT_EQ(at("Hand"), std::pair(-30.0f, 2520.0f));
    EXPECT_EQ(e("icons(1)").Left(), 2520 - 90);
}

TEST_F(ReturnTest, AClickAfterTheFinishRepeatsItOneStepLeftAndDown) {
    startReturn(30, 2490, true, 2);
    advance(80 * 2);
    ASSERT_EQ(label1().Caption(), texts::kCongratulations);
    label1().setCaption(QString());
    window().tmrBackleft.setEnabled(true);
    advance(80 * 2);
    EXPECT_EQ(at("Hand"), std::pair(-30.0f, 2550.0f));
    EXPECT_EQ(at("icons(2)"), std::pair(1800.0f - 60, 960.0f + 60));
    EXPECT_EQ(label1().Caption(), texts::kCongratulations);
}

TEST_F(ReturnTest, ANewGameStopsEitherLegWhereItIs) {
    startReturn(300, 2400);
    advance(80 * 4);
    round().Command1_Click();
    advance(800);
    EXPECT_EQ(e("handed(0)").Left(), 300 - 120);
    EXPECT_FALSE(e("handed(0)").Visible());
    startReturn(30, 2400, true, 3);
    advance(80 * 2);
    round().Command1_Click();
    advance(800);
    EXPECT_EQ(e("handed(0)").Top(), 2430);
    EXPECT_FALSE(e("icons(3)").Visible());
    EXPECT_EQ(e("icons(3)").Left(), -1000);
}

}  // namespace
}  // namespace kalvex::testing
