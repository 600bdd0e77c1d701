// SPDX-FileCopyrightText: 2026 Kalvex developers
//
// SPDX-License-Identifier: MIT

#pragma once

#include <gtest/gtest.h>

#include <QPoint>
#include <QString>
#include <functional>
#include <memory>
#include <ostream>
#include <vector>

#include "support/simulated_clock.h"
#include "platform/dialogs.h"
#include "window/game_window.h"

// Readable failure messages for Qt strings.
inline void PrintTo(const QString& text, std::ostream* os) {
    *os << '"' << text.toStdString() << '"';
}

namespace kalvex::testing {

// Message boxes that close themselves, and an end that is only counted.
class RecordingDialogs : public Dialogs {
public:
    struct Box {
        QString text;
        int style;
        QString title;
    };
    void showMessage(const QString& text, int style, const QString& title) override {
        boxes.push_back({text, style, title});
        if (whileOpen) {
            whileOpen();
        }
    }
    void quit() override { ++ends; }

    std::vector<Box> boxes;
    int ends = 0;
    // What happens while a box is open: time passing, the pointer moving.
    std::function<void()> whileOpen;
};

// The real window on a simulated clock, shown on the offscreen platform, with
// real Qt pointer events at positions given in the window's twips.
class GameTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    GameWindow& window() { return *window_; }
    Round& round() { return window_->round(); }
    Element& e(const QString& name) { return window_->element(name); }
    CaptionElement& statusLine() { return static_cast<CaptionElement&>(e("statusLine")); }

    // Moves the real pointer to a point of the window, in twips.
    void pointerTo(float x, float y);
    // Moves the pointer onto the middle of an element on the window.
    void hover(const QString& name);
    // A left click at a point of the window, in twips.
    void clickAt(float x, float y);
    void click(const QString& name);
    void advance(qint64 ms) { clock.advance(ms); }

    // Plays the two legs: n ticks up, m ticks sideways, then leaves over the zone.
    void steer(int upTicks, int sideTicks);

    SimulatedClock clock;
    RecordingDialogs dialogs;

private:
    QPoint toPixels(float x, float y) const;
    std::unique_ptr<GameWindow> window_;
};

}  // namespace kalvex::testing
