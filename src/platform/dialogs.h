// SPDX-FileCopyrightText: 2026 Kalvex developers
//
// SPDX-License-Identifier: MIT

#pragma once

#include <QString>

class QWidget;

namespace kalvex {

// Message box styles the game uses; they add up.
enum MessageBoxStyle : int {
    kOkButtonOnly = 0,
    kInformationIcon = 64,
};

// The platform's modal message box and the end of the program. Tests put a
// recording stand-in in their place so no person has to close a box.
class Dialogs {
public:
    virtual ~Dialogs() = default;
    // Shows a modal box and returns when it is closed; the answer is not used.
    virtual void showMessage(const QString& text, int style, const QString& title) = 0;
    // Ends the program at once.
    virtual void quit() = 0;
};

class QtDialogs : public Dialogs {
public:
    explicit QtDialogs(QWidget* owner = nullptr) : owner_(owner) {}
    void setOwner(QWidget* owner) { owner_ = owner; }
    void showMessage(const QString& text, int style, const QString& title) override;
    void quit() override;

private:
    QWidget* owner_;
};

}  // namespace kalvex
