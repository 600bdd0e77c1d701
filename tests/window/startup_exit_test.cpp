// SPDX-FileCopyrightText: 2026 Kalvex developers
//
// SPDX-License-Identifier: MIT

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <tuple>

#include "round/texts.h"
#include "support/game_fixture.h"

namespace kalvex::testing {
namespace {

using StartupExitTest = GameTest;

TEST_F(StartupExitTest, StartsWaitingForTheBlueButton) {
    EXPECT_EQ(statusLine().caption(), texts::kAskBlue);
    // The ball sets out to the right.
    advance(30);
    EXPECT_EQ(e("gaugeBall").left(), 1680 + 60);
    // The red button is dead, and no up leg has begun that the zone could end.
    hover("rightButton");
    EXPECT_FALSE(window().clawRightTimer.isEnabled());
    EXPECT_TRUE(e("rightHint").isVisible());
    pointerTo(e("hoverZone").left() + 60, 4700);
    EXPECT_EQ(statusLine().caption(), texts::kAskBlue);
    // No prize is won: a new game takes none off the field.
    click("newGameButton");
    for (int k = 0; k < kPrizeCount; ++k) {
        EXPECT_TRUE(e(QStringLiteral("prize(%1)").arg(k)).isVisible()) << k;
    }
    // The blue button is live.
    hover("upButton");
    EXPECT_TRUE(window().clawUpTimer.isEnabled());
    EXPECT_EQ(statusLine().caption(), texts::kMoving);
}

// No mid.mid lies beside the tests, so the player says which file it looked for.
TEST_F(StartupExitTest, MusicFileIsTheProgramsFolderJoinedWithMidMid) {
    QTest::qWait(200);  // this fixture's own window has its say first
    ::testing::internal::CaptureStderr();
    {
        GameWindow another(clock, dialogs);
        another.show();
        QTest::qWait(300);  // the file is looked for after the first frame, on another thread
    }
    const QString path = QCoreApplication::applicationDirPath() + QStringLiteral("/mid.mid");
    EXPECT_EQ(::testing::internal::GetCapturedStderr(),
              "kalvex: playing without music: " + path.toStdString() + " was not found\n");
}

TEST_F(StartupExitTest, ExitThanksThePlayerThenEndsTheProgram) {
    hover("upButton");  // in the middle of a leg
    advance(240);
    click("exitButton");
    ASSERT_EQ(dialogs.boxes.size(), 1u);
    EXPECT_EQ(dialogs.boxes[0].text, QStringLiteral("감사합니다."));
    EXPECT_EQ(dialogs.boxes[0].title, QStringLiteral("종료"));
    EXPECT_EQ(dialogs.boxes[0].style, kOkButtonOnly);
    EXPECT_EQ(dialogs.ends, 1);
    // No handler runs once the program has ended.
    const float top = e("claw").top();
    advance(800);
    click("newGameButton");
    EXPECT_EQ(e("claw").top(), top);
    EXPECT_EQ(statusLine().caption(), texts::kMoving);
}

TEST_F(StartupExitTest, InformationBoxChangesNothing) {
    hover("upButton");
    advance(160);
    const float top = e("claw").top();
    const QString status = statusLine().caption();
    dialogs.whileOpen = [this] {
        advance(800);
        pointerTo(e("hoverZone").left() + 60, 4700);
    };
    click("banner");
    ASSERT_EQ(dialogs.boxes.size(), 1u);
    EXPECT_EQ(dialogs.boxes[0].title, QStringLiteral("정보"));
    EXPECT_EQ(dialogs.boxes[0].style, kOkButtonOnly | kInformationIcon);
    EXPECT_FALSE(dialogs.boxes[0].text.isEmpty());
    EXPECT_FALSE(dialogs.boxes[0].text.contains('\n'));
    EXPECT_EQ(dialogs.ends, 0);
    EXPECT_EQ(e("claw").top(), top);
    EXPECT_EQ(statusLine().caption(), status);
    EXPECT_TRUE(window().clawUpTimer.isEnabled());
    // The leg goes on from a fresh period.
    advance(79);
    EXPECT_EQ(e("claw").top(), top);
    advance(1);
    EXPECT_EQ(e("claw").top(), top - 30);
    // The leg had begun: the zone ends it and asks for the red button.
    pointerTo(e("hoverZone").left() + 75, 4700);
    EXPECT_EQ(statusLine().caption(), texts::kAskRed);
}

// The real box and the real end: a person's click on OK is played by a
// single-shot timer that finds the open box.
TEST(RealDialogs, ExitBoxIsModalWithItsTextAndEndsTheEventLoop) {
    RealClock clock;
    QtDialogs dialogs;
    GameWindow window(clock, dialogs);
    dialogs.setOwner(&window);
    window.show();
    QString title, text;
    QMessageBox::Icon icon = QMessageBox::Warning;
    int buttons = 0;
    QTimer::singleShot(0, &window, [&] { window.exitGame(); });
    QTimer::singleShot(200, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        ASSERT_NE(box, nullptr);
        title = box->windowTitle();
        text = box->text();
        icon = box->icon();
        buttons = box->buttons().size();
        box->button(QMessageBox::Ok)->click();
    });
    QTimer::singleShot(5000, [] { QCoreApplication::exit(99); });  // a safety net
    EXPECT_EQ(QCoreApplication::exec(), 0);
    EXPECT_EQ(title, QStringLiteral("종료"));
    EXPECT_EQ(text, QStringLiteral("감사합니다."));
    EXPECT_EQ(icon, QMessageBox::NoIcon);
    EXPECT_EQ(buttons, 1);
}

TEST(RealDialogs, InformationBoxShowsTheInformationIcon) {
    RealClock clock;
    QtDialogs dialogs;
    GameWindow window(clock, dialogs);
    window.show();
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QString title;
    QTimer::singleShot(100, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        ASSERT_NE(box, nullptr);
        icon = box->icon();
        title = box->windowTitle();
        box->button(QMessageBox::Ok)->click();
    });
    window.showInformation();
    EXPECT_EQ(icon, QMessageBox::Information);
    EXPECT_EQ(title, QStringLiteral("정보"));
}

// Closes the open box with OK after the given time, as a person would;
// looks again until a box is there, so a slow start cannot leave it open.
void closeBoxAfter(int ms, const std::function<void()>& whileOpen = {}) {
    QTimer::singleShot(ms, [ms, whileOpen] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box) {
            closeBoxAfter(std::max(ms / 4, 20), whileOpen);
            return;
        }
        if (whileOpen) {
            whileOpen();
        }
        box->button(QMessageBox::Ok)->click();
    });
}

// The real boxes on the real clock hold the round in every phase: whatever
// the timers would have done while a box was open does not happen.
TEST(RealDialogs, AnOpenBoxHoldsTheRound) {
    RealClock clock;
    QtDialogs dialogs;
    GameWindow window(clock, dialogs);
    dialogs.setOwner(&window);
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    QWindow* handle = window.windowHandle();
    Element& hand = window.element("claw");
    Element& frame = window.element("clawFrame(0)");
    Element& ball = window.element("gaugeBall");
    auto& status = static_cast<CaptionElement&>(window.element("statusLine"));
    auto seen = [&] {
        return std::tuple(hand.left(), hand.top(), frame.left(), frame.top(), ball.left(),
                          status.caption());
    };
    auto informationBoxChangesNothing = [&] {
        closeBoxAfter(400);
        const auto before = seen();
        window.showInformation();
        EXPECT_EQ(seen(), before);
    };
    const QPoint blue(72, 272), red(152, 272), zone(110, 312), gauge(112, 266);

    {
        SCOPED_TRACE("in the up leg");
        QTest::mouseMove(handle, QPoint(3, 3));
        QTest::mouseMove(handle, blue);
        QTest::qWait(200);
        informationBoxChangesNothing();
        const float top = hand.top();
        QTRY_VERIFY_WITH_TIMEOUT(hand.top() < top, 2000);  // the leg goes on
        QTest::mouseMove(handle, zone);
        ASSERT_EQ(status.caption(), texts::kAskRed);
    }
    {
        SCOPED_TRACE("in the gauge phase");
        QTest::mouseMove(handle, red);
        hand.setLeft(780);  // over the kitten at (840, 2400)
        hand.setTop(2340);
        QTest::mouseMove(handle, zone + QPoint(0, 1));
        ASSERT_EQ(status.caption(), texts::kAskClick);
        QTest::qWait(200);
        informationBoxChangesNothing();
        const float ballLeft = ball.left();
        QTRY_VERIFY_WITH_TIMEOUT(ball.left() != ballLeft, 2000);
    }
    {
        SCOPED_TRACE("on the way home");
        QTest::mouseClick(handle, Qt::LeftButton, Qt::NoModifier, gauge);
        ASSERT_TRUE(window.returnLeftTimer.isEnabled());
        QTest::qWait(200);
        informationBoxChangesNothing();
        const float frameLeft = frame.left();
        QTRY_VERIFY_WITH_TIMEOUT(frame.left() < frameLeft, 2000);
    }

    SCOPED_TRACE("the thank-you box on the way home");
    QTest::mouseClick(handle, Qt::LeftButton, Qt::NoModifier, QPoint(60, 364));  // new game
    QTest::mouseMove(handle, blue);
    QTest::mouseMove(handle, zone);
    QTest::mouseMove(handle, red);
    hand.setLeft(60);  // two steps from home, under no prize
    hand.setTop(2460);
    QTest::mouseMove(handle, zone + QPoint(0, 1));
    ASSERT_EQ(status.caption(), texts::kFailed);
    // Unheld, the claw would be home and the status would thank the player
    // well before the box closes.
    std::vector<QString> whileOpen;
    decltype(seen()) before;
    closeBoxAfter(800, [&] { whileOpen.push_back(status.caption()); });
    QTimer::singleShot(0, &window, [&] {
        before = seen();
        window.exitGame();
    });
    QTimer::singleShot(10000, [] { QCoreApplication::exit(99); });  // a safety net
    EXPECT_EQ(QCoreApplication::exec(), 0);
    EXPECT_EQ(whileOpen, std::vector<QString>{texts::kFailed});
    EXPECT_EQ(seen(), before);
}

}  // namespace
}  // namespace kalvex::testing
