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
    {"Command2", 1920, 5280, 1095, 375, true},    {"Command1", 360, 5280, 1095, 375, true},
    {"Picture1", 120, 600, 3135, 3135, true},     {"Label1", 0, 4920, 3375, 255, true},
    {"luckclick", 1140, 3840, 1200, 300, false},  {"Image1", 360, 0, 2700, 450, true},
    {"Go_up", 840, 3840, 480, 480, true},         {"Go_left", 2040, 3840, 480, 480, true},
    {"Moveout", 120, 3360, 3135, 1455, true},     {"Label3", 2040, 4440, 540, 180, true},
    {"Label2", 840, 4440, 360, 180, true},        {"Luck_check3", 0, 0, 0, 0, false},
    {"Luck_check2", 1680, 4260, 135, 135, false}, {"Luck_check1", 0, 0, 0, 0, false},
    {"Shape2", 240, 40, 2895, 375, true},         {"Shape1", 0, 0, 3375, 4815, true},
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
    const std::vector<Element*> order = window().stackingOrder(&window());
    ASSERT_EQ(order.size(), std::size(kWindow));
    for (std::size_t place = 0; place < order.size(); ++place) {
        const Expected& want = kWindow[place];
        const Element& got = *order[place];
        SCOPED_TRACE(want.name);
        EXPECT_EQ(got.name(), want.name) << "place " << place + 2;
        EXPECT_EQ(got.Visible(), want.visible);
        if (want.width > 0) {
            EXPECT_EQ(got.Left(), want.left);
            EXPECT_EQ(got.Top(), want.top);
            EXPECT_EQ(got.Width(), want.width);
            EXPECT_EQ(got.Height(), want.height);
        }
    }
}

TEST_F(LayoutTest, GaugeLinesRunBetweenTheirEndPoints) {
    auto& track = static_cast<Line&>(e("Luck_check1"));
    auto& mark = static_cast<Line&>(e("Luck_check3"));
    EXPECT_EQ(std::tuple(track.X1(), track.Y1(), track.X2(), track.Y2(), track.BorderWidth()),
              std::tuple(480.0f, 4320.0f, 3000.0f, 4320.0f, 10));
    EXPECT_EQ(std::tuple(mark.X1(), mark.Y1(), mark.X2(), mark.Y2(), mark.BorderWidth()),
              std::tuple(1740.0f, 4080.0f, 1740.0f, 4560.0f, 1));
}

TEST_F(LayoutTest, FieldHoldsClawFramesPrizesAndChuteInTheirOrder) {
    std::vector<QString> expected = {"handed(0)", "Hand", "handed(1)", "handed(2)"};
    std::vector<QString> byPlace(27);
    for (const PrizeRow& p : kPrizes) {
        if (p.index > 0) {
            byPlace[static_cast<std::size_t>(p.place - 5)] =
                QStringLiteral("icons(%1)").arg(p.index);
        }
    }
    expected.insert(expected.end(), byPlace.begin(), byPlace.end());
    expected.push_back("Shape3");
    expected.push_back("icons(0)");

    std::vector<QString> got;
    for (Element* element : window().stackingOrder(window().playField())) {
        got.push_back(element->name());
    }
    EXPECT_EQ(got, expected);
}

TEST_F(LayoutTest, PrizesLieAtTheirDesignedPlacesWithTheirSizes) {
    for (const PrizeRow& p : kPrizes) {
        const Element& prize = e(QStringLiteral("icons(%1)").arg(p.index));
        SCOPED_TRACE(p.index);
        const float size = p.index == 0 ? 135 : p.index >= 22 ? 720 : 480;
        EXPECT_EQ(prize.Left(), p.left);
        EXPECT_EQ(prize.Top(), p.top);
        EXPECT_EQ(prize.Width(), size);
        EXPECT_EQ(prize.Height(), size);
        EXPECT_TRUE(prize.Visible());
        EXPECT_EQ(prize.widget()->geometry(),
                  QRect(int(p.left / 15), int(p.top / 15), int(size / 15), int(size / 15)));
    }
    EXPECT_TRUE(static_cast<Picture&>(e("icons(0)")).picture().isNull());
}

TEST_F(LayoutTest, ClawAndFramesStartAtHome) {
    EXPECT_TRUE(e("Hand").Visible());
    EXPECT_EQ(std::pair(e("Hand").Left(), e("Hand").Top()), std::pair(0.0f, 2520.0f));
    EXPECT_EQ(std::pair(e("handed(0)").Left(), e("handed(0)").Top()), std::pair(0.0f, 2520.0f));
    EXPECT_EQ(std::pair(e("handed(1)").Left(), e("handed(1)").Top()), std::pair(600.0f, 2400.0f));
    EXPECT_EQ(std::pair(e("handed(2)").Left(), e("handed(2)").Top()), std::pair(840.0f, 2400.0f));
    for (const char* frame : {"handed(0)", "handed(1)", "handed(2)"}) {
        EXPECT_FALSE(e(frame).Visible()) << frame;
        EXPECT_EQ(e(frame).Width(), 600);
    }
    EXPECT_EQ(std::tuple(e("Shape3").Left(), e("Shape3").Top(), e("Shape3").Width()),
              std::tuple(-20.0f, 2400.0f, 735.0f));
}

TEST_F(LayoutTest, TimersHaveTheirPeriodsAndOnlyTheBallRunsAtStart) {
    struct {
        Timer& timer;
        int interval;
        bool enabled;
    } const timers[] = {
        {window().tmrHandUp, 80, false},   {window().tmrHandLeft, 80, false},
        {window().tmrhand, 50, false},     {window().tmrLuck, 30, true},
        {window().tmrBackleft, 80, false}, {window().tmrBacktop, 80, false},
    };
    for (const auto& t : timers) {
        SCOPED_TRACE(t.timer.name().toStdString());
        EXPECT_EQ(t.timer.Interval(), t.interval);
        EXPECT_EQ(t.timer.Enabled(), t.enabled);
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
    EXPECT_EQ(e("Moveout").Left(), 120);  // no new game ran
    EXPECT_TRUE(dialogs.boxes.empty());

    QTest::keyClick(handle, Qt::Key_Tab);
    EXPECT_EQ(QApplication::focusWidget(), e("Command1").widget());
    QTest::keyClick(handle, Qt::Key_Space);
    EXPECT_EQ(e("Moveout").Left(), 720);  // the new game, from the keyboard
    QTest::keyClick(handle, Qt::Key_Tab);
    EXPECT_EQ(QApplication::focusWidget(), e("Command2").widget());
    QTest::keyClick(handle, Qt::Key_Tab);
    EXPECT_EQ(QApplication::focusWidget(), window().playField());
}

TEST_F(LayoutTest, TextsUseAKoreanFontAtTwelvePixels) {
    auto& hint = static_cast<Label&>(e("Label2"));
    EXPECT_EQ(hint.label()->font().pixelSize(), 12);
    EXPECT_TRUE(QFontMetrics(hint.label()->font()).inFont(QChar(u'위')));
    EXPECT_EQ(static_cast<Label&>(e("Moveout")).label()->font().pixelSize(), 35);
    EXPECT_EQ(static_cast<Label&>(e("Label3")).Caption(), QStringLiteral("옆으로"));
    EXPECT_EQ(static_cast<Label&>(e("Moveout")).Caption(), QString(28, u' '));
    EXPECT_EQ(static_cast<PushButton&>(e("Command1")).Caption(), QStringLiteral("새로하기"));
    EXPECT_EQ(static_cast<PushButton&>(e("Command2")).Caption(), QStringLiteral("종료"));
}

}  // namespace
}  // namespace kalvex::testing
