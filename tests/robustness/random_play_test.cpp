// SPDX-FileCopyrightText: 2026 Kalvex developers
//
// SPDX-License-Identifier: MIT

#include <QTest>
#include <random>
#include <set>
#include <string>

#include "support/game_fixture.h"

namespace kalvex::testing {
namespace {

// Plays random pointer moves, clicks anywhere, new games, information boxes
// and exits, interleaved with simulated time, and checks after every event
// that the round state and the stacking stay sound.
class RandomPlay {
public:
    explicit RandomPlay(unsigned seed) : random_(seed) { open(); }

    // Returns an empty string, or what went wrong and at which event.
    std::string run(int events) {
        for (int i = 0; i < events; ++i) {
            const int what = pick(0, 99);
            if (what < 40) {
                move({pick(0, 223), pick(0, 383)});
            } else if (what < 55) {
                playerLikeMove();
            } else if (what < 70) {
                clickOnAnElement();
            } else if (what < 71) {
                clickAt(centre("newGameButton"));
            } else if (what < 74) {
                clickAt(centre("banner"));
            } else if (what < 75 && pick(0, 9) == 0) {
                clickAt(centre("exitButton"));
            } else {
                clock_.advance(pick(1, 400));
            }
            if (dialogs_.ends > 0) {
                open();  // the player exited: start the program again
            }
            note();
            if (std::string fault = check(); !fault.empty()) {
                return fault + " after event " + std::to_string(i);
            }
        }
        return {};
    }

    // Which phases of a round the play has reached, so a run that never gets
    // past the first leg cannot pass unnoticed.
    std::set<std::string> reached;

private:
    void note() {
        const auto& status = static_cast<CaptionElement&>(window_->element("statusLine")).caption();
        // A leg's hint hides when the leg begins, until the next new game.
        if (!window_->element("upHint").isVisible())
            reached.insert("up leg");
        if (!window_->element("rightHint").isVisible())
            reached.insert("sideways leg");
        if (window_->element("gaugeButton").isVisible())
            reached.insert("gauge");
        if (window_->returnDownTimer.isEnabled())
            reached.insert("return");
        if (status == QStringLiteral("축하드립니다."))
            reached.insert("won");
        if (status == QStringLiteral("감사합니다."))
            reached.insert("thanked");
    }

    int pick(int low, int high) { return std::uniform_int_distribution<int>(low, high)(random_); }

    void open() {
        window_.reset();
        dialogs_ = {};
        window_ = std::make_unique<GameWindow>(clock_, dialogs_);
        window_->show();
        if (!QTest::qWaitForWindowExposed(window_.get())) {
            ADD_FAILURE() << "the window did not show";
        }
        windowOrder_ = stackingOrder(*window_, window_.get());
        fieldOrder_ = stackingOrder(*window_, window_->playField());
        last_ = {-1, -1};
    }

    QPoint centre(const QString& name) {
        return window_->element(name).widget()->geometry().center();
    }

    void move(QPoint at) {
        if (at == last_) {
            return;
        }
        last_ = at;
        QTest::mouseMove(window_->windowHandle(), at);
    }

    void clickAt(QPoint at) {
        last_ = at;
        QTest::mouseClick(window_->windowHandle(), Qt::LeftButton, Qt::NoModifier, at);
    }

    // Onto a button, the zone or the gauge button, as a player steering would.
    void playerLikeMove() {
        switch (pick(0, 3)) {
            case 0:
                move(centre("upButton") + QPoint(pick(-3, 3), 0));
                break;
            case 1:
                move(centre("rightButton") + QPoint(pick(-3, 3), 0));
                break;
            case 2:
                move({pick(10, 40), pick(300, 315)});  // the zone
                break;
            default:
                if (!window_->element("gaugeButton").isVisible()) {
                    break;
                }
                // Half the time a good player waits for the ball to reach the middle.
                const bool waits = pick(0, 1) == 0;
                for (int i = 0; i < 84 && waits && !ballInBand(); ++i) {
                    clock_.advance(30);
                }
                clickAt(centre("gaugeButton"));
        }
    }

    bool ballInBand() {
        const float ball = window_->element("gaugeBall").left();
        return ball >= 1560 && ball <= 1800;
    }

    // A click somewhere on a randomly chosen element, wherever it stands now.
    void clickOnAnElement() {
        const bool inField = pick(0, 1) == 1;
        const auto& order = inField ? fieldOrder_ : windowOrder_;
        const QWidget* widget =
            order[static_cast<std::size_t>(pick(0, int(order.size()) - 1))]->widget();
        QRect r = widget->geometry();
        if (inField) {
            r.translate(window_->playField()->pos());
        }
        r &= window_->rect();
        if (r.isEmpty()) {
            return;
        }
        clickAt({pick(r.left(), r.right()), pick(r.top(), r.bottom())});
    }

    std::string check() {
        if (stackingOrder(*window_, window_.get()) != windowOrder_ ||
            stackingOrder(*window_, window_->playField()) != fieldOrder_) {
            return "stacking changed";
        }
        return {};
    }

    std::mt19937 random_;
    SimulatedClock clock_;
    RecordingDialogs dialogs_;
    std::unique_ptr<GameWindow> window_;
    std::vector<Element*> windowOrder_, fieldOrder_;
    QPoint last_;
};

TEST(RandomPlay, HundredThousandEventsKeepTheRoundSound) {
    // KALVEX_SEED replays one seed.
    std::vector<unsigned> seeds = {1, 2, 3, 4};
    if (qEnvironmentVariableIsSet("KALVEX_SEED")) {
        seeds = {qEnvironmentVariable("KALVEX_SEED").toUInt()};
    }
    const int events = 100'000 / static_cast<int>(seeds.size());
    std::set<std::string> reached;
    for (unsigned seed : seeds) {
        RandomPlay play(seed);
        const std::string fault = play.run(events);
        EXPECT_EQ(fault, "") << "replay with KALVEX_SEED=" << seed;
        reached.insert(play.reached.begin(), play.reached.end());
    }
    EXPECT_EQ(reached, (std::set<std::string>{"up leg", "sideways leg", "gauge", "return", "won",
                                              "thanked"}));
}

}  // namespace
}  // namespace kalvex::testing
