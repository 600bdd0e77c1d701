// SPDX-FileCopyrightText: 2026 Kalvex developers
//
// SPDX-License-Identifier: MIT

#pragma once

#include <QHash>
#include <QWidget>
#include <memory>
#include <vector>

#include "music/music_player.h"
#include "platform/clock.h"
#include "platform/dialogs.h"
#include "platform/elements.h"
#include "platform/timer.h"
#include "round/round.h"

namespace kalvex {

// The game's one window. It owns every element, the six timers and the
// music player, builds them from the layout tables, and forwards Qt's events
// to the handlers.
class GameWindow : public QWidget {
    Q_OBJECT

public:
    GameWindow(Clock& clock, Dialogs& dialogs);
    ~GameWindow() override;

    // The exit button's and the banner's handlers.
    void exitGame();
    void showInformation();

    // An element by name, with its index for a group: "claw", "prize(5)".
    Element& element(const QString& name) const;
    QWidget* playField() const { return playField_->surface(); }

    Timer clawUpTimer;
    Timer clawRightTimer;
    Timer dropTimer;
    Timer gaugeTimer;
    Timer returnLeftTimer;
    Timer returnDownTimer;
    MusicPlayer musicPlayer;

    // The first showing centres the window on the screen, frame included.
    void setVisible(bool visible) override;

protected:
    void showEvent(QShowEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void build();
    // Runs once, before the window is shown.
    void startUp();
    // The song has ended: it starts over.
    void restartMusic();
    // While a modal box is open the round is held: no tick and no pointer
    // event reaches a handler.
    void holdRound();
    void releaseRound();
    // Calls a handler unless the round is held or the program has ended.
    template <class F>
    std::function<void()> handler(F f);

    Clock& clock_;
    Dialogs& dialogs_;
    std::vector<std::unique_ptr<Element>> elements_;
    QHash<QString, Element*> byName_;
    PlayField* playField_ = nullptr;
    CaptionElement* statusLine_ = nullptr;
    std::unique_ptr<Round> round_;
    bool ended_ = false;
    bool held_ = false;
    bool shown_ = false;
};

}  // namespace kalvex
