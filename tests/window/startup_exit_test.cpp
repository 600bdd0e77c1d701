// SPDX-FileCopyrightText: 2026 Kalvex developers
//
// SPDX-License-Identifier: MIT

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>

#include "round/texts.h"
#include "support/game_fixture.h"

namespace kalvex::testing {
namespace {

using StartupExitTest = GameTest;

TEST_F(StartupExitTest, StartsWaitingForTheBlueButton) {
    EXPECT_EQ(label1().Caption(), texts::kAskBlue);
    EXPECT_EQ(round().upAllowed, kTrue);
    EXPECT_EQ(round().leftAllowed, kFalse);
    EXPECT_EQ(round().upStarted, kFalse);
    EXPECT_EQ(round().leftStarted, kFalse);
    EXPECT_EQ(round().luckGoingBack, kFalse);
    EXPECT_EQ(round().luckWon, kFalse);
    EXPECT_EQ(round().caughtIndex, 0);
    EXPECT_FALSE(round().clawTop.has_value());
}

TEST_F(StartupExitTest, MusicFileIsTheProgramsFolderJoinedWithMidMid) {
    EXPECT_EQ(window().MMControl1.fileName(),
              QCoreApplication::applicationDirPath() + QStringLiteral("/mid.mid"));
}

TEST_F(StartupExitTest, ExitThanksThePlayerThenEndsTheProgram) {
    hover("Go_up");  // in the middle of a leg
    advance(240);
    click("Command2");
    ASSERT_EQ(dialogs.boxes.size(), 1u);
    EXPECT_EQ(dialogs.boxes[0].text, QStringLiteral("감사합니다."));
    EXPECT_EQ(dialogs.boxes[0].title, QStringLiteral("종료"));
    EXPECT_EQ(dialogs.boxes[0].style, vbOKOnly);
    EXPECT_EQ(dialogs.ends, 1);
    // No handler runs once the program has ended.
    const float top = e("Hand").Top();
    advance(800);
    click("Command1");
    EXPECT_EQ(e("Hand").Top(), top);
    EXPECT_EQ(label1().Caption(), texts::kMoving);
}

TEST_F(StartupExitTest, InformationBoxChangesNothing) {
    hover("Go_up");
    advance(160);
    const float top = e("Hand").Top();
    const QString status = label1().Caption();
    click("Image1");
    ASSERT_EQ(dialogs.boxes.size(), 1u);
    EXPECT_EQ(dialogs.boxes[0].title, QStringLiteral("정보"));
    EXPECT_EQ(dialogs.boxes[0].style, vbOKOnly | vbInformation);
    EXPECT_FALSE(dialogs.boxes[0].text.isEmpty());
    EXPECT_FALSE(dialogs.boxes[0].text.contains('\n'));
    EXPECT_EQ(dialogs.ends, 0);
    EXPECT_EQ(e("Hand").Top(), top);
    EXPECT_EQ(label1().Caption(), status);
    EXPECT_TRUE(window().tmrHandUp.Enabled());
    EXPECT_EQ(round().upStarted, kTrue);
}

// The real box and the real end: a person's click on OK is played by a
// single-shot timer that finds the open box.
TEST(RealDialogs, ExitBoxIsModalWithItsTextAndEndsTheEventLoop) {
    RealClock clock;
    QtDialogs dialogs;
    frmGame window(clock, dialogs);
    dialogs.setOwner(&window);
    window.show();
    QString title, text;
    QMessageBox::Icon icon = QMessageBox::Warning;
    int buttons = 0;
    QTimer::singleShot(0, &window, [&] { window.Command2_Click(); });
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
    frmGame window(clock, dialogs);
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
    window.Image1_Click();
    EXPECT_EQ(icon, QMessageBox::Information);
    EXPECT_EQ(title, QStringLiteral("정보"));
}

}  // namespace
}  // namespace kalvex::testing
