// SPDX-FileCopyrightText: 2026 Kalvex developers
//
// SPDX-License-Identifier: MIT

#include "platform/dialogs.h"

#include <QCoreApplication>
#include <QMessageBox>

namespace kalvex {

void QtDialogs::MsgBox(const QString& text, int style, const QString& title) {
    QMessageBox box(owner_);
    box.setWindowTitle(title);
    box.setText(text);
    box.setIcon((style & kInformationIcon) ? QMessageBox::Information : QMessageBox::NoIcon);
    box.setStandardButtons(QMessageBox::Ok);
    box.exec();
}

void QtDialogs::End() {
    QCoreApplication::exit(0);
}

}  // namespace kalvex
