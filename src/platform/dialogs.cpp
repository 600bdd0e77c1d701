// SPDX-FileCopyrightText: 2026 Kalvex developers
//
// SPDX-License-Identifier: MIT

#include "platform/dialogs.h"

#include <QCoreApplication>
#include <QGridLayout>
#include <QMessageBox>
#include <QSpacerItem>

#include "platform/placement.h"

namespace kalvex {

namespace {

// Wide enough that a window manager's title bar shows the title beside its
// icon and buttons (Breeze puts an icon, minimise and close there).
constexpr int kMinimumBoxWidth = 160;

// Opens centred on the game, frame included, as the game on the screen.
class CentredBox : public QMessageBox {
public:
    using QMessageBox::QMessageBox;

    void setVisible(bool visible) override {
        if (visible && !isVisible()) {
            showCentred(*this, parentWidget(), [this] { QMessageBox::setVisible(true); });
        } else {
            QMessageBox::setVisible(visible);
        }
    }
};

}  // namespace

void QtDialogs::showMessage(const QString& text, int style, const QString& title) {
    CentredBox box(owner_);
    box.setWindowTitle(title);
    box.setText(text);
    box.setIcon((style & kInformationIcon) ? QMessageBox::Information : QMessageBox::NoIcon);
    box.setStandardButtons(QMessageBox::Ok);
    // The box sizes itself to its layout when shown; a minimum width set on
    // the box itself is overridden there, a spacer across the layout is not.
    if (auto* grid = qobject_cast<QGridLayout*>(box.layout())) {
        grid->addItem(
            new QSpacerItem(kMinimumBoxWidth, 0, QSizePolicy::Fixed, QSizePolicy::Minimum),
            grid->rowCount(), 0, 1, grid->columnCount());
    }
    box.exec();
}

void QtDialogs::quit() {
    QCoreApplication::exit(0);
}

}  // namespace kalvex
