// SPDX-FileCopyrightText: 2026 Kalvex developers
//
// SPDX-License-Identifier: MIT

#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QTest>
#include <vector>

#include "platform/elements.h"
#include "support/game_fixture.h"

namespace kalvex::testing {
namespace {

struct Expected {
    const char* name;
    float left, top, width, height;
    bool visible;
};

// The window's elements, top of the stacking order first.
const Expected kWindow[] = {
    {"exitButton", 1920, 5280, 1095, 375, true},   {"newGameButton", 360, 5280, 1095, 375, true},
    {"playField", 120, 600, 3135, 3135, true},     {"statusLine", 0, 4920, 3375, 255, true},
    {"gaugeButton", 1140, 3840, 1200, 300, false}, {"banner", 360, 0, 2700, 450, true},
    {"upButton", 840, 3840, 480, 480, true},       {"rightButton", 2040, 3840, 480, 480, true},
    {"hoverZone", 120, 3360, 3135, 1455, true},    {"rightHint", 2040, 4440, 540, 180, true},
    {"upHint", 840, 4440, 360, 180, true},         {"gaugeMark", 0, 0, 0, 0, false},
    {"gaugeBall", 1680, 4260, 135, 135, false},    {"gaugeTrack", 0, 0, 0, 0, false},
    {"bannerBar", 240, 40, 2895, 375, true},       {"cabinet", 0, 0, 3375, 4815, true},
};

// Prizes: index, left, top, place in the field (1 = top).
struct PrizeRow {
    int index;
    float left, top;
    int place;
};
const PrizeRow kPrizes[] = {
    {0, 2880, 2880, 33},  {1, 2520, 2280, 27},  {2, 1800, 960, 12},  {3, 1800, 1800, 22},
    {4, 2400, 120, 5},    {5, 1440, 1920, 23},  {6, 0, 720, 15},     {7, 720, 1920, 25},
    {8, 1320, 600, 13},   {9, 1080, 1680, 24},  {10, 2040, 600, 11}, {11, 2520, 960, 10},
    {12, 1680, 2520, 29}, {13, 2040, 2160, 28}, {14, 720, 1320, 19}, {15, 2040, 1320, 16},
    {16, 1320, 2280, 30}, {17, 1200, 1080, 18}, {18, 840, 2400, 31}, {19, 1560, 1440, 17},
    {20, 240, 1200, 20},  {21, 2520, 360, 6},   {22, 0, 1680, 26},   {23, 480, 600, 14},
    {24, 1680, 0, 7},     {25, 960, 120, 8},    {26, 240, 0, 9},     {27, 2280, 1560, 21},
};

using LayoutTest = GameTest;

TEST_F(LayoutTest, WindowElementsStandWhereDesignedInTheirStackingOrder) {
    const std::vector<Element*> order = stackingOrder(&window());
    ASSERT_EQ(order.size(), std::size(kWindow));
    for (std::size_t place = 0; place < order.size(); ++place) {
        const Expected& want = kWindow[place];
        const Element& got = *order[place];
        SCOPED_TRACE(want.name);
        EXPECT_EQ(got.widget()->objectName(), want.name) << "place " << place + 2;
        EXPECT_EQ(got.isVisible(), want.visible);
        if (want.width > 0) {
            EXPECT_EQ(got.left(), want.left);
            EXPECT_EQ(got.top(), want.top);
            EXPECT_EQ(got.width(), want.width);
            EXPECT_EQ(got.height(), want.height);
        }
    }
}

// The track runs from (480, 4320) to (3000, 4320), 10 pixels wide; the mark
// from (1740, 4080) to (1740, 4560), 1 pixel wide.
TEST_F(LayoutTest, GaugeLinesRunBetweenTheirEndPoints) {
    EXPECT_EQ(e("gaugeTrack").widget()->geometry(), QRect(27, 283, 178, 10));
    EXPECT_EQ(e("gaugeMark").widget()->geometry(), QRect(116, 272, 1, 33));
    e("gaugeTrack").setVisible(true);
    e("gaugeMark").setVisible(true);
    const QImage shot = window().grab().toImage();
    auto black = [&](int x, int y) { return shot.pixel(x, y) == qRgb(0, 0, 0); };
    for (int y = 283; y < 293; ++y) {
        SCOPED_TRACE(y);
        EXPECT_TRUE(black(32, y) && black(116, y) && black(199, y));
        EXPECT_FALSE(black(31, y) || black(200, y));
    }
    EXPECT_FALSE(black(116, 271) || black(116, 304));
    for (int y = 272; y < 304; ++y) {
        SCOPED_TRACE(y);
        EXPECT_TRUE(black(116, y));
        if (y < 283 || y >= 293) {
            EXPECT_FALSE(black(115, y) || black(117, y));
        }
    }
}

TEST_F(LayoutTest, FieldHoldsClawFramesPrizesAndChuteInTheirOrder) {
    std::vector<QString> expected = {"clawFrame(0)", "claw", "clawFrame(1)", "clawFrame(2)"};
    std::vector<QString> byPlace(27);
    for (const PrizeRow& p : kPrizes) {
        if (p.index > 0) {
            byPlace[static_cast<std::size_t>(p.place - 5)] =
                QStringLiteral("prize(%1)").arg(p.index);
        }
    }
    expected.insert(expected.end(), byPlace.begin(), byPlace.end());
    expected.push_back("chute");
    expected.push_back("prize(0)");

    std::vector<QString> got;
    for (Element* element : stackingOrder(window().playField())) {
        got.push_back(element->widget()->objectName());
    }
    EXPECT_EQ(got, expected);
}

TEST_F(LayoutTest, PrizesLieAtTheirDesignedPlacesWithTheirSizes) {
    for (const PrizeRow& p : kPrizes) {
        const Element& prize = e(QStringLiteral("prize(%1)").arg(p.index));
        SCOPED_TRACE(p.index);
        const float size = p.index == 0 ? 135 : p.index >= 22 ? 720 : 480;
        EXPECT_EQ(prize.left(), p.left);
        EXPECT_EQ(prize.top(), p.top);
        EXPECT_EQ(prize.width(), size);
        EXPECT_EQ(prize.height(), size);
        EXPECT_TRUE(prize.isVisible());
        EXPECT_EQ(prize.widget()->geometry(),
                  QRect(int(p.left / 15), int(p.top / 15), int(size / 15), int(size / 15)));
    }
    EXPECT_TRUE(static_cast<Picture&>(e("prize(0)")).picture().isNull());
}

TEST_F(LayoutTest, ClawAndFramesStartAtHome) {
    EXPECT_TRUE(e("claw").isVisible());
    EXPECT_EQ(std::pair(e("claw").left(), e("claw").top()), std::pair(0.0f, 2520.0f));
    EXPECT_EQ(std::pair(e("clawFrame(0)").left(), e("clawFrame(0)").top()),
              std::pair(0.0f, 2520.0f));
    EXPECT_EQ(std::pair(e("clawFrame(1)").left(), e("clawFrame(1)").top()),
              std::pair(600.0f, 2400.0f));
    EXPECT_EQ(std::pair(e("clawFrame(2)").left(), e("clawFrame(2)").top()),
              std::pair(840.0f, 2400.0f));
    for (const char* frame : {"clawFrame(0)", "clawFrame(1)", "clawFrame(2)"}) {
        EXPECT_FALSE(e(frame).isVisible()) << frame;
        EXPECT_EQ(e(frame).width(), 600);
    }
    EXPECT_EQ(std::tuple(e("chute").left(), e("chute").top(), e("chute").width()),
              std::tuple(-20.0f, 2400.0f, 735.0f));
}

TEST_F(LayoutTest, TimersHaveTheirPeriodsAndOnlyTheBallRunsAtStart) {
    struct {
        const char* name;
        Timer& timer;
        int interval;
        bool enabled;
    } const timers[] = {
        {"claw up", window().clawUpTimer, 80, false},
        {"claw right", window().clawRightTimer, 80, false},
        {"drop", window().dropTimer, 50, false},
        {"gauge", window().gaugeTimer, 30, true},
        {"return left", window().returnLeftTimer, 80, false},
        {"return down", window().returnDownTimer, 80, false},
    };
    for (const auto& t : timers) {
        SCOPED_TRACE(t.name);
        EXPECT_EQ(t.timer.interval(), t.interval);
        EXPECT_EQ(t.timer.isEnabled(), t.enabled);
    }
}

TEST_F(LayoutTest, WindowIsFixedUntitledWithACloseBoxAndCentred) {
    EXPECT_EQ(window().size(), QSize(224, 384));
    EXPECT_EQ(window().minimumSize(), window().maximumSize());
    EXPECT_TRUE(window().windowTitle().isEmpty());
    const Qt::WindowFlags flags = window().windowFlags();
    EXPECT_TRUE(flags & Qt::WindowCloseButtonHint);
    EXPECT_FALSE(flags & Qt::WindowMinimizeButtonHint);
    EXPECT_FALSE(flags & Qt::WindowMaximizeButtonHint);
    EXPECT_FALSE(window().windowIcon().isNull());
    const QRect screen = window().screen()->availableGeometry();
    EXPECT_LE((window().frameGeometry().center() - screen.center()).manhattanLength(), 2)
        << window().frameGeometry().x() << "," << window().frameGeometry().y() << " "
        << window().frameGeometry().width() << "x" << window().frameGeometry().height();
}

// Real key presses on the activated window: the focus starts on the play
// field, so Space and Enter run nothing until Tab reaches a push button.
TEST_F(LayoutTest, NoKeyActsUntilTabReachesAPushButton) {
    window().activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window()));
    QWindow* handle = window().windowHandle();
    EXPECT_EQ(QApplication::focusWidget(), window().playField());
    for (Qt::Key key : {Qt::Key_Space, Qt::Key_Return, Qt::Key_Enter}) {
        QTest::keyClick(handle, key);
    }
    EXPECT_EQ(e("hoverZone").left(), 120);  // no new game ran
    EXPECT_TRUE(dialogs.boxes.empty());

    QTest::keyClick(handle, Qt::Key_Tab);
    EXPECT_EQ(QApplication::focusWidget(), e("newGameButton").widget());
    QTest::keyClick(handle, Qt::Key_Space);
    EXPECT_EQ(e("hoverZone").left(), 720);  // the new game, from the keyboard
    QTest::keyClick(handle, Qt::Key_Tab);
    EXPECT_EQ(QApplication::focusWidget(), e("exitButton").widget());
    QTest::keyClick(handle, Qt::Key_Tab);
    EXPECT_EQ(QApplication::focusWidget(), window().playField());
}

TEST_F(LayoutTest, TextsUseAKoreanFontAtTwelvePixels) {
    auto& hint = static_cast<Label&>(e("upHint"));
    EXPECT_EQ(hint.widget()->font().pixelSize(), 12);
    EXPECT_TRUE(QFontMetrics(hint.widget()->font()).inFont(QChar(u'위')));
    EXPECT_EQ(static_cast<Label&>(e("hoverZone")).widget()->font().pixelSize(), 35);
    EXPECT_EQ(static_cast<Label&>(e("rightHint")).caption(), QStringLiteral("옆으로"));
    EXPECT_EQ(static_cast<Label&>(e("hoverZone")).caption(), QString(28, u' '));
    EXPECT_EQ(static_cast<PushButton&>(e("newGameButton")).caption(), QStringLiteral("새로하기"));
    EXPECT_EQ(static_cast<PushButton&>(e("exitButton")).caption(), QStringLiteral("종료"));
}

}  // namespace
}  // namespace kalvex::testing
