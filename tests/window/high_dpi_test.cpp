// SPDX-FileCopyrightText: 2026 Kalvex developers
//
// SPDX-License-Identifier: MIT

#include <QImage>
#include <QWindow>

#include "support/game_fixture.h"

namespace kalvex::testing {
namespace {

// Run with QT_SCALE_FACTOR set; the expectations scale with it.
class HighDpiTest : public GameTest {
protected:
    qreal scale() const { return qEnvironmentVariable("QT_SCALE_FACTOR", "1").toDouble(); }
    QPoint device(int x, int y) const { return QPoint(int(x * scale()), int(y * scale())); }
};

bool near(QColor got, QColor want) {
    return std::abs(got.red() - want.red()) <= 8 && std::abs(got.green() - want.green()) <= 8 &&
           std::abs(got.blue() - want.blue()) <= 8;
}

TEST_F(HighDpiTest, WindowAndElementsScaleAsAWhole) {
    ASSERT_EQ(window().windowHandle()->devicePixelRatio(), scale());
    const QImage shot = window().grab().toImage();
    EXPECT_EQ(shot.size(), QSize(qRound(224 * scale()), qRound(384 * scale())));
    EXPECT_TRUE(near(shot.pixelColor(device(150, 312)), QColor(255, 255, 0)));
    EXPECT_TRUE(near(shot.pixelColor(device(20, 15)), QColor(0, 0, 255)));
    EXPECT_TRUE(near(shot.pixelColor(device(203, 240)), Qt::white));
    EXPECT_LT(shot.pixelColor(device(10, 328)).lightness(), 100);
    // The logic's twips and the widgets' logical pixels do not change.
    EXPECT_EQ(e("upButton").widget()->geometry(), QRect(56, 256, 32, 32));
    EXPECT_EQ(e("upButton").left(), 840);
}

// At a whole factor every picture pixel becomes a solid block: no blur.
TEST_F(HighDpiTest, PicturesStayCrispAtWholeFactors) {
    const int factor = int(scale());
    if (factor != scale() || factor < 2) {
        GTEST_SKIP() << "only at whole factors above 1";
    }
    const QImage shot = window().grab().toImage();
    const QPoint origin = device(56, 256);  // upButton over the cabinet
    int blocks = 0;
    for (int y = 0; y < 32; ++y) {
        for (int x = 0; x < 32; ++x) {
            const QPoint p = origin + QPoint(x, y) * factor;
            const QRgb first = shot.pixel(p);
            for (int dy = 0; dy < factor; ++dy) {
                for (int dx = 0; dx < factor; ++dx) {
                    ASSERT_EQ(shot.pixel(p + QPoint(dx, dy)), first) << x << "," << y;
                }
            }
            ++blocks;
        }
    }
    EXPECT_EQ(blocks, 32 * 32);
}

}  // namespace
}  // namespace kalvex::testing
