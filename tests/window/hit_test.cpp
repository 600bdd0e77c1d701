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
        for (const QWidget* container : {static_cast<QWidget*>(&window()), window().playField()}) {
            for (Element* element : window().stackingOrder(container)) {
                const QString name = element->name();
                element->onMouseMove = [this, name] { moves.push_back(name); };
                element->onClick = [this, name] { clicks.push_back(name); };
            }
        }
    }
    std::vector<QString> moves;
    std::vector<QString> clicks;
};

using Names = std::vector<QString>;

TEST_F(HitTest, TheTopmostElementUnderThePointerGetsEveryMove) {
    hover("Go_up");
    pointerTo(1100, 4100);  // still on Go_up
    pointerTo(1110, 4100);
    EXPECT_EQ(moves, (Names{"Go_up", "Go_up", "Go_up"}));
    moves.clear();
    hover("Go_left");
    EXPECT_EQ(moves, (Names{"Go_left"}));
}

TEST_F(HitTest, TheBlankZoneAndTheHintsBeneathItReportToTheZone) {
    pointerTo(500, 4600);  // blank zone, left of the buttons
    hover("Label2");
    hover("Label3");
    EXPECT_EQ(moves, (Names{"Moveout", "Moveout", "Moveout"}));
}

TEST_F(HitTest, ThePlayFieldCoversTheTopOfTheZoneAndHandlesNothing) {
    pointerTo(1700, 3500);
    pointerTo(1710, 3700);
    EXPECT_TRUE(moves.empty());
    pointerTo(1700, 3760);  // just below the field
    EXPECT_EQ(moves, (Names{"Moveout"}));
}

TEST_F(HitTest, ShapesAndLinesPassThePointerToTheElementBeneath) {
    e("Luck_check1").setVisible(true);
    e("Luck_check2").setVisible(true);
    e("Luck_check3").setVisible(true);
    pointerTo(1740, 4320);  // ball, track and mark all meet here
    pointerTo(600, 4320);   // the track alone
    EXPECT_EQ(moves, (Names{"Moveout", "Moveout"}));
}

TEST_F(HitTest, HiddenAndParkedElementsReceiveNothing) {
    clickAt(1700, 3900);  // where the hidden gauge button would be
    e("luckclick").setVisible(true);
    clickAt(1700, 3900);
    EXPECT_EQ(clicks, (Names{"Moveout", "luckclick"}));
    e("luckclick").setVisible(false);

    e("Go_up").setLeft(-5000);
    pointerTo(1080, 4080);  // where Go_up stood
    EXPECT_EQ(moves.back(), "Moveout");
    e("Moveout").setLeft(-5000);
    moves.clear();
    pointerTo(1000, 4100);
    pointerTo(2280, 4080);
    EXPECT_EQ(moves, (Names{"Go_left"}));
}

TEST_F(HitTest, ClicksReachTheBannerAndThePushButtons) {
    click("Image1");
    clickAt(400, 20);  // a corner of the banner, over its transparent part
    click("Command1");
    click("Command2");
    EXPECT_EQ(clicks, (Names{"Image1", "Image1", "Command1", "Command2"}));
}

TEST_F(HitTest, APressThatEndsElsewhereIsNoClick) {
    const QPoint banner(60, 15);
    QTest::mousePress(window().windowHandle(), Qt::LeftButton, Qt::NoModifier, banner);
    QTest::mouseRelease(window().windowHandle(), Qt::LeftButton, Qt::NoModifier, QPoint(60, 200));
    EXPECT_TRUE(clicks.empty());
}

TEST_F(HitTest, AfterANewGameTheZoneNoLongerCoversItsLeftBand) {
    round().Command1_Click();
    pointerTo(300, 4600);  // 120..720 belonged to the zone only at start-up
    EXPECT_TRUE(moves.empty());
    pointerTo(3300, 4600);  // the zone now reaches 3855, past the window's edge
    EXPECT_EQ(moves, (Names{"Moveout"}));
}

}  // namespace
}  // namespace kalvex::testing
