// SPDX-FileCopyrightText: 2026 Kalvex developers
//
// SPDX-License-Identifier: MIT

#include <cmath>

#include "round/position_copy.h"
#include "round/round.h"
#include "round/texts.h"

namespace kalvex {

namespace {

constexpr double kFrameDivisor = 50;

// Tolerance windows on both axes, inclusive: claw position minus prize position.
constexpr double kSmallLow = -150, kSmallHigh = 30;  // prizes(1) to prizes(21)
constexpr double kLargeLow = 30, kLargeHigh = 150;   // prizes(22) to prizes(27)
constexpr int kFirstSmall = 1, kLastSmall = kFirstLargePrize - 1, kLastLarge = kPrizeCount - 1;

bool within(double d, double low, double high) {
    return low <= d && d <= high;
}

}  // namespace

void Round::drop() {
    for (int m = 0; m < kClawFrames; ++m) {
        clawFrames(m).setTop(claw.top());
        clawFrames(m).setLeft(claw.left());
    }
    claw.setVisible(false);
    dropTimer.setEnabled(true);
    rightAllowed = false;
    // With the hover zone off the field no further move reaches this handler,
    // so the drop happens once per round.
    upButton.setLeft(kControlsParkedLeft);
    rightButton.setLeft(kControlsParkedLeft);
    hoverZone.setLeft(kControlsParkedLeft);
    judgeCatch();
}

void Round::showNextDropFrame() {
    const double interval = static_cast<std::int16_t>(dropTimer.interval());
    clawFrameStep = static_cast<std::int16_t>(std::nearbyint(interval / kFrameDivisor));
    clawFrameCount = static_cast<std::int16_t>(clawFrameCount + clawFrameStep);
    switch (clawFrameCount) {
        case 0:
            clawFrames(0).setVisible(true);
            break;
        case 2:
            clawFrames(0).setVisible(false);
            clawFrames(1).setVisible(true);
            break;
        case 5:
            clawFrames(1).setVisible(false);
            clawFrames(2).setVisible(true);
            break;
        case 7:
            clawFrames(2).setVisible(false);
            clawFrames(0).setVisible(true);
            dropTimer.setEnabled(false);
            clawFrameCount = 0;
            break;
        default:
            break;
    }
}

// Decides at the moment of the drop, before the animation shows a frame.
void Round::judgeCatch() {
    clawTop = copyPosition(claw.top());
    const std::optional<std::int16_t> clawAt = toInt16(copyPosition(claw.left()));
    // A prize whose Left does not fit 16 bits cannot be measured; nothing
    // lies under it. The same holds for a claw steered that far right.
    std::array<bool, kPrizeCount> measured{};
    for (int k = 1; k < kPrizeCount; ++k) {
        prizeTops[k] = copyPosition(prizes(k).top());
        const std::optional<std::int16_t> left = toInt16(copyPosition(prizes(k).left()));
        measured[k] = left.has_value();
        prizeLefts[k] = left.value_or(0);
    }

    int caught = 0;
    if (clawAt) {
        clawLeft = *clawAt;
        // Differences in full int width: a claw far to the right is simply outside.
        auto under = [&](int j, double low, double high) {
            return measured[j] && within(*clawTop - *prizeTops[j], low, high) &&
                   within(int{clawLeft} - int{prizeLefts[j]}, low, high);
        };
        for (int j = kFirstSmall; j <= kLastSmall && !caught; ++j) {
            if (under(j, kSmallLow, kSmallHigh)) {
                caught = j;
            }
        }
        for (int j = kFirstLargePrize; j <= kLastLarge && !caught; ++j) {
            if (under(j, kLargeLow, kLargeHigh)) {
                caught = j;
            }
        }
    }

    if (caught) {
        caughtIndex = static_cast<std::int16_t>(caught);
        showLuckGauge();
        return;
    }
    statusLine.setCaption(texts::kFailed);
    luckWon = false;
    returnLeftTimer.setEnabled(true);
}

}  // namespace kalvex
