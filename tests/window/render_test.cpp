// SPDX-FileCopyrightText: 2026 Kalvex developers
//
// SPDX-License-Identifier: MIT

#include <QImage>

#include "support/game_fixture.h"

namespace kalvex::testing {
namespace {

using RenderTest = GameTest;

bool near(QColor got, QColor want) {
    return std::abs(got.red() - want.red()) <= 8 && std::abs(got.green() - want.green()) <= 8 &&
           std::abs(got.blue() - want.blue()) <= 8;
}

TEST_F(RenderTest, DrawsCabinetBarFieldAndStatusLine) {
    const QImage shot = window().grab().toImage();
    ASSERT_EQ(shot.size(), QSize(224, 384) * shot.devicePixelRatio());
    const QColor yellow(255, 255, 0), blue(0, 0, 255), white(255, 255, 255);
    EXPECT_TRUE(near(shot.pixelColor(150, 312), yellow));  // cabinet
    EXPECT_TRUE(near(shot.pixelColor(20, 15), blue));      // bar behind the banner
    EXPECT_TRUE(near(shot.pixelColor(203, 240), white));   // field, empty slot prize(0)
    EXPECT_TRUE(near(shot.pixelColor(10, 336), white));    // status line
    EXPECT_LT(shot.pixelColor(10, 328).lightness(), 100);  // its border
    EXPECT_FALSE(near(shot.pixelColor(5, 370), yellow));   // below the cabinet
}

TEST_F(RenderTest, ParkedElementsDrawNothingAndTheChuteIsCutAtTheFieldEdge) {
    const QImage before = window().grab().toImage();
    e("upButton").setLeft(-5000);
    const QImage after = window().grab().toImage();
    // Where upButton stood the cabinet shows now.
    EXPECT_FALSE(near(before.pixelColor(72, 272), QColor(255, 255, 0)));
    EXPECT_TRUE(near(after.pixelColor(72, 272), QColor(255, 255, 0)));
    // The chute's 2-pixel frame starts at field x -1, so only one column shows.
    EXPECT_LT(after.pixelColor(8, 220).lightness(), 60);
    EXPECT_GT(after.pixelColor(9, 220).lightness(), 200);
}

}  // namespace
}  // namespace kalvex::testing
