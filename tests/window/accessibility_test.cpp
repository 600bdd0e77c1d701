// SPDX-FileCopyrightText: 2026 Kalvex developers
//
// SPDX-License-Identifier: MIT

#include <QAccessible>
#include <QPushButton>

#include "round/texts.h"
#include "support/game_fixture.h"

namespace kalvex::testing {
namespace {

class AccessibilityTest : public GameTest {
protected:
    QString nameOf(const QString& element) {
        QAccessibleInterface* face = QAccessible::queryAccessibleInterface(e(element).widget());
        return face ? face->text(QAccessible::Name) : QString();
    }
};

TEST_F(AccessibilityTest, ControlsCarryKoreanNames) {
    EXPECT_EQ(nameOf("statusLine"), texts::kAskBlue);
    EXPECT_EQ(nameOf("newGameButton"), QStringLiteral("새로하기"));
    EXPECT_EQ(nameOf("exitButton"), QStringLiteral("종료"));
    EXPECT_TRUE(nameOf("upButton").contains(QStringLiteral("위로")));
    EXPECT_TRUE(nameOf("rightButton").contains(QStringLiteral("옆으로")));
    EXPECT_TRUE(nameOf("gaugeButton").contains(QStringLiteral("흰 공")));
    EXPECT_TRUE(nameOf("banner").contains(QStringLiteral("정보")));
}

// The announcement of a changed status line is checked through AT-SPI in the
// end-to-end tests: the offscreen platform has no accessibility bridge.

}  // namespace
}  // namespace kalvex::testing
