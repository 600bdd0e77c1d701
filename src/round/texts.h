// SPDX-FileCopyrightText: 2026 Kalvex developers
//
// SPDX-License-Identifier: MIT

#pragma once

#include <QString>

namespace kalvex::texts {

// The status line's fixed texts.
inline const QString kAskBlue = QStringLiteral("파란색 버튼 위로 마우스를 가져가세요.");
inline const QString kMoving = QStringLiteral("이동중 입니다.");
inline const QString kAskRed = QStringLiteral("빨간색 버튼위로 마우스를 가져가세요.");
inline const QString kFailed = QStringLiteral("실패 하셨습니다. 다시 도전하세요.");
inline const QString kAskClick = QStringLiteral("흰공이 가운데 오면 Click을 클릭하세요.");
inline const QString kSucceeded = QStringLiteral("성공하셨습니다.");
inline const QString kCongratulations = QStringLiteral("축하드립니다.");
inline const QString kThanks = QStringLiteral("감사합니다.");

}  // namespace kalvex::texts
