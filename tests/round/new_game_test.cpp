// SPDX-FileCopyrightText: 2026 Kalvex developers
//
// SPDX-License-Identifier: MIT

#include <map>

#include "round/texts.h"
#include "support/game_fixture.h"

namespace kalvex::testing {
namespace {

struct Snapshot {
    std::map<QString, std::tuple<float, float, bool, bool>> elements;
    bool operator==(const Snapshot&) const = default;
};

class NewGameTest : public GameTest {
protected:
    Snapshot snapshot() {
        Snapshot s;
        for (const QWidget* container : {static_cast<QWidget*>(&window()), window().playField()}) {
            for (Element* element : window().stackingOrder(container)) {
                s.elements[element->name()] = {element->Left(), element->Top(), element->Visible(),
                                               element->Enabled()};
            }
        }
        return s;
    }
};

TEST_F(NewGameTest, RightAfterStartUpOnlyTheZoneMoves) {
    Snapshot before = snapshot();
    const float ball = e("Luck_check2").Left();
    round().Command1_Click();
    Snapshot after = snapshot();
    EXPECT_EQ(e("Moveout").Left(), 720);
    std::get<0>(before.elements["Moveout"]) = 720;
    EXPECT_EQ(after, before);
    EXPECT_EQ(e("Luck_check2").Left(), ball);
    EXPECT_EQ(label1().Caption(), texts::kAskBlue);
    EXPECT_EQ(round().upAllowed, kTrue);
    EXPECT_EQ(round().leftAllowed, kFalse);
    EXPECT_EQ(round().caughtIndex, 0);
}

TEST_F(NewGameTest, AWonPrizeLeavesTheFieldForGood) {
    round().luckWon = kTrue;
    round().caughtIndex = 5;
    round().Command1_Click();
    EXPECT_FALSE(e("icons(5)").Visible());
    EXPECT_EQ(e("icons(5)").Left(), -1000);
    EXPECT_EQ(e("icons(5)").Top(), 1920);
    EXPECT_EQ(round().luckWon, kFalse);
    EXPECT_EQ(round().caughtIndex, 0);

    // A second new game hides nothing more; icons(0) in particular stays.
    const Snapshot before = snapshot();
    round().Command1_Click();
    EXPECT_EQ(snapshot(), before);
    EXPECT_TRUE(e("icons(0)").Visible());
}

TEST_F(NewGameTest, ACaughtButLostPrizeStaysWhereItLies) {
    round().luckWon = kFalse;
    round().caughtIndex = 7;
    round().Command1_Click();
    EXPECT_TRUE(e("icons(7)").Visible());
    EXPECT_EQ(e("icons(7)").Left(), 720);
    EXPECT_EQ(round().caughtIndex, 0);
}

TEST_F(NewGameTest, ResetsFlagsAndControlsButLeavesLegsAndAnimationRunning) {
    window().tmrHandUp.setEnabled(true);
    window().tmrhand.setEnabled(true);
    window().tmrBackleft.setEnabled(true);
    window().tmrBacktop.setEnabled(true);
    window().tmrLuck.setEnabled(false);
    round().upAllowed = kFalse;
    round().leftAllowed = kTrue;
    round().upStarted = round().leftStarted = round().luckGoingBack = kTrue;
    round().clawFrameCount = 3;
    for (const char* name : {"Label2", "Label3", "Hand", "Luck_check1", "luckclick"}) {
        e(name).setVisible(!e(name).Visible());
    }
    e("handed(1)").setVisible(true);
    e("Hand").setLeft(900);
    e("Hand").setTop(300);
    e("Go_up").setLeft(-5000);
    e("Go_up").setEnabled(false);

    round().Command1_Click();

    EXPECT_TRUE(window().tmrHandUp.Enabled());
    EXPECT_TRUE(window().tmrhand.Enabled());
    EXPECT_FALSE(window().tmrBackleft.Enabled());
    EXPECT_FALSE(window().tmrBacktop.Enabled());
    EXPECT_TRUE(window().tmrLuck.Enabled());
    EXPECT_EQ(round().clawFrameCount, 3);
    EXPECT_EQ(std::tuple(round().upAllowed, round().leftAllowed, round().upStarted,
                         round().leftStarted, round().luckGoingBack),
              std::tuple(kTrue, kFalse, kFalse, kFalse, kFalse));
    EXPECT_TRUE(e("Label2").Visible() && e("Label3").Visible() && e("Hand").Visible());
    EXPECT_FALSE(e("Luck_check1").Visible() || e("luckclick").Visible() ||
                 e("handed(1)").Visible());
    EXPECT_EQ(std::pair(e("Hand").Left(), e("Hand").Top()), std::pair(0.0f, 2520.0f));
    EXPECT_EQ(e("Go_up").Left(), 840);
    EXPECT_TRUE(e("Go_up").Enabled());
    // The still-running up leg goes on from home.
    advance(80);
    EXPECT_EQ(e("Hand").Top(), 2490);
}

}  // namespace
}  // namespace kalvex::testing
