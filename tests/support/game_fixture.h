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

#include "platform/dialogs.h"
#include "support/simulated_clock.h"
#include "window/game_window.h"

// Readable failure messages for Qt strings.
inline void PrintTo(const QString& text, std::ostream* os) {
    *os << '"' << text.toStdString() << '"';
}

namespace kalvex::testing {

// The elements in a container of the window, top of the stacking order
// first, as Qt stacks their widgets.
std::vector<Element*> stackingOrder(const GameWindow& window, const QWidget* container);

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
    // Drops the claw at a point of the field after two legs that took no
    // time. The round must be waiting for the blue button.
    void dropAt(float left, float top);
    // Stops the gauge's ball at a place and clicks the gauge's button.
    void clickGaugeWithBallAt(float at);
    // After a won gauge: the prize that goes home with the claw's first step
    // home, or -1. Lets that step's time pass.
    int carriedPrize();
    // The elements in a container, top of the stacking order first.
    std::vector<Element*> stackingOrder(const QWidget* container) {
        return testing::stackingOrder(*window_, container);
    }

    SimulatedClock clock;
    RecordingDialogs dialogs;

private:
    QPoint toPixels(float x, float y) const;
    std::unique_ptr<GameWindow> window_;
};

}  // namespace kalvex::testing
