// SPDX-FileCopyrightText: 2026 Kalvex developers
//
// SPDX-License-Identifier: MIT

// The game with its music player but no mid.mid beside the test program, as
// on a machine where the file or the sound is missing.
#include <QCoreApplication>
#include <QFile>
#include <QTest>

#include "round/texts.h"
#include "support/game_fixture.h"

namespace kalvex::testing {
namespace {

using GameWithoutMusic = GameTest;

TEST_F(GameWithoutMusic, StartsAndPlaysARound) {
    ASSERT_FALSE(
        QFile::exists(QCoreApplication::applicationDirPath() + QStringLiteral("/mid.mid")));
    EXPECT_EQ(statusLine().caption(), texts::kAskBlue);
    steer(4, 4);
    const QString judged = statusLine().caption();
    EXPECT_TRUE(judged == texts::kFailed || judged == texts::kAskClick) << judged.toStdString();
}

TEST_F(GameWithoutMusic, SaysOnceOnStderrWhyThereIsNoMusic) {
    QTest::qWait(200);  // this fixture's own window has its say first
    ::testing::internal::CaptureStderr();
    {
        GameWindow another(clock, dialogs);
        another.show();
        QTest::qWait(300);  // the file is looked for after the first frame, on another thread
    }
    const std::string err = ::testing::internal::GetCapturedStderr();
    EXPECT_EQ(std::count(err.begin(), err.end(), '\n'), 1) << err;
    EXPECT_NE(err.find("mid.mid was not found"), std::string::npos) << err;
}

}  // namespace
}  // namespace kalvex::testing
