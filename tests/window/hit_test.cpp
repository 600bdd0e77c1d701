// SPDX-FileCopyrightText: 2026 Kalvex developers
//
// SPDX-License-Identifier: MIT

#include <QTest>
#include <vector>

#include "support/game_fixture.h"

namespace kalvex::testing {
namespace {

// Real Qt pointer events, with every element's handlers replaced by a log of
// which element received what.
class HitTest : public GameTest {
protected:
    void SetUp() override {
        GameTest::SetUp();
        newGame = e("newGameButton").onClick;
        for (const QWidget* container : {static_cast<QWidget*>(&window()), window().playField()}) {
            for (Element* element : stackingOrder(container)) {
                const QString name = element->widget()->objectName();
                element->onMouseMove = [this, name] { moves.push_back(name); };
                element->onClick = [this, name] { clicks.push_back(name); };
            }
        }
    }
    std::vector<QString> moves;
    std::vector<QString> clicks;
    // The new-game button's own handler, from before the log took its place.
    std::function<void()> newGame;
};

using Names = std::vector<QString>;

TEST_F(HitTest, TheTopmostElementUnderThePointerGetsEveryMove) {
    hover("upButton");
    pointerTo(1100, 4100);  // still on upButton
    pointerTo(1110, 4100);
    EXPECT_EQ(moves, (Names{"upButton", "upButton", "upButton"}));
    moves.clear();
    hover("rightButton");
    EXPECT_EQ(moves, (Names{"rightButton"}));
}

TEST_F(HitTest, TheBlankZoneAndTheHintsBeneathItReportToTheZone) {
    pointerTo(500, 4600);  // blank zone, left of the buttons
    hover("upHint");
    hover("rightHint");
    EXPECT_EQ(moves, (Names{"hoverZone", "hoverZone", "hoverZone"}));
}

TEST_F(HitTest, ThePlayFieldCoversTheTopOfTheZoneAndHandlesNothing) {
    pointerTo(1700, 3500);
    pointerTo(1710, 3700);
    EXPECT_TRUE(moves.empty());
    pointerTo(1700, 3760);  // just below the field
    EXPECT_EQ(moves, (Names{"hoverZone"}));
}

TEST_F(HitTest, ShapesAndLinesPassThePointerToTheElementBeneath) {
    e("gaugeTrack").setVisible(true);
    e("gaugeBall").setVisible(true);
    e("gaugeMark").setVisible(true);
    pointerTo(1740, 4320);  // ball, track and mark all meet here
    pointerTo(600, 4320);   // the track alone
    EXPECT_EQ(moves, (Names{"hoverZone", "hoverZone"}));
}

TEST_F(HitTest, HiddenAndParkedElementsReceiveNothing) {
    clickAt(1700, 3900);  // where the hidden gauge button would be
    e("gaugeButton").setVisible(true);
    clickAt(1700, 3900);
    EXPECT_EQ(clicks, (Names{"hoverZone", "gaugeButton"}));
    e("gaugeButton").setVisible(false);

    e("upButton").setLeft(-5000);
    pointerTo(1080, 4080);  // where upButton stood
    EXPECT_EQ(moves.back(), "hoverZone");
    e("hoverZone").setLeft(-5000);
    moves.clear();
    pointerTo(1000, 4100);
    pointerTo(2280, 4080);
    EXPECT_EQ(moves, (Names{"rightButton"}));
}

TEST_F(HitTest, ClicksReachTheBannerAndThePushButtons) {
    click("banner");
    clickAt(400, 20);  // a corner of the banner, over its transparent part
    click("newGameButton");
    click("exitButton");
    EXPECT_EQ(clicks, (Names{"banner", "banner", "newGameButton", "exitButton"}));
}

TEST_F(HitTest, APressThatEndsElsewhereIsNoClick) {
    const QPoint banner(60, 15);
    QTest::mousePress(window().windowHandle(), Qt::LeftButton, Qt::NoModifier, banner);
    QTest::mouseRelease(window().windowHandle(), Qt::LeftButton, Qt::NoModifier, QPoint(60, 200));
    EXPECT_TRUE(clicks.empty());
}

TEST_F(HitTest, AfterANewGameTheZoneNoLongerCoversItsLeftBand) {
    newGame();
    pointerTo(300, 4600);  // 120..720 belonged to the zone only at start-up
    EXPECT_TRUE(moves.empty());
    pointerTo(3300, 4600);  // the zone now reaches 3855, past the window's edge
    EXPECT_EQ(moves, (Names{"hoverZone"}));
}

}  // namespace
}  // namespace kalvex::testing
