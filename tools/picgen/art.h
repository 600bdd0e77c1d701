// SPDX-FileCopyrightText: 2026 Kalvex developers
//
// SPDX-License-Identifier: MIT

#pragma once

// The drawings. Each prize draws into a painter whose space is 32 units
// (small prizes) or 48 units (large prizes) square, whatever the pixel size.

#include <QImage>
#include <QPainter>

namespace picgen::art {

QImage field();
QImage clickHere();
QImage banner();
QImage ball(QColor body, QColor rim);

enum class Claw { Open, Closed, Lowered, Bottom };
QImage claw(Claw pose);

// Small prizes, 32 units.
void lizard(QPainter& p);
void soldier(QPainter& p);
void rabbitInDress(QPainter& p);
void fluffyRabbit(QPainter& p);
void insectAlien(QPainter& p);
void kittenMonkey(QPainter& p);
void armouredBeast(QPainter& p);
void longEaredRabbit(QPainter& p);
void antennaDoll(QPainter& p);
void squirrel(QPainter& p);
void pinkCreature(QPainter& p);
void monkeyHead(QPainter& p);
void hatRabbit(QPainter& p);
void bearFace(QPainter& p);
void mouse(QPainter& p);
void kittenBow(QPainter& p);
void kittenDress(QPainter& p);
void dragon(QPainter& p);
void tinyBird(QPainter& p);

// Large prizes, 48 units.
void walkerRobot(QPainter& p);
void spacecraft(QPainter& p);
void greenWalker(QPainter& p);
void alienBeast(QPainter& p);
void energySphere(QPainter& p);
void wingedAlien(QPainter& p);

}  // namespace picgen::art
