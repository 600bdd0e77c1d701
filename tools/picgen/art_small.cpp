// SPDX-FileCopyrightText: 2026 Kalvex developers
//
// SPDX-License-Identifier: MIT

// The small prizes: cartoon animals and figures, drawn in a 32-unit square.
// Each draws back to front: tails and far limbs, body, head, face.

#include <QLinearGradient>
#include <cmath>
#include <tuple>
#include <utility>

#include "art.h"
#include "canvas.h"

namespace picgen::art {

namespace {

const QColor kWhiteFur(252, 252, 255);
const QColor kPink(255, 150, 185);
const QColor kInk(40, 30, 40);

// A tube along a path: outline first, then the fill inside it.
void tube(QPainter& p, const QPainterPath& path, QColor fill, qreal width) {
    stroke(p, path, outlineOf(fill), width + 2.0);
    stroke(p, path, fill, width);
}

QPainterPath tilted(const QPainterPath& path, QPointF pivot, qreal degrees) {
    QTransform t;
    t.translate(pivot.x(), pivot.y());
    t.rotate(degrees);
    t.translate(-pivot.x(), -pivot.y());
    return t.map(path);
}

// A fluffy round body: a circle with soft bumps all round its edge.
QPainterPath fluffy(qreal cx, qreal cy, qreal r, int bumps) {
    QPainterPath path = circle(cx, cy, r - 1.2);
    for (int i = 0; i < bumps; ++i) {
        const qreal a = 2 * M_PI * i / bumps;
        path = path.united(circle(cx + std::cos(a) * (r - 1.6), cy + std::sin(a) * (r - 1.6), 2.2));
    }
    return path.simplified();
}

void whiskers(QPainter& p, qreal cx, qreal cy, qreal spread, QColor colour = kInk) {
    for (int side : {-1, 1}) {
        line(p, {cx + side * 2.5, cy}, {cx + side * (2.5 + spread), cy - 1.2}, colour, 0.6);
        line(p, {cx + side * 2.5, cy + 1.2}, {cx + side * (2.5 + spread), cy + 1.6}, colour, 0.6);
    }
}

void catEar(QPainter& p, QPointF tip, QPointF a, QPointF b, QColor fur, QColor inner) {
    shape(p, polygon({a, tip, b}), fur);
    const QPointF mid = (a + b) / 2;
    shape(p,
          polygon({a + (mid - a) * 0.35 + (tip - mid) * 0.12, tip + (mid - tip) * 0.3,
                   b + (mid - b) * 0.35 + (tip - mid) * 0.12}),
          inner, inner, 0);
}

// A long upright ear with a pink inside.
void longEar(QPainter& p, QPointF centre, qreal rx, qreal ry, qreal tilt, QColor fur) {
    shape(p, tilted(oval(centre.x(), centre.y(), rx, ry), centre, tilt), lit(fur, centre, ry),
          outlineOf(fur));
    shape(p, tilted(oval(centre.x(), centre.y() + 0.8, rx * 0.45, ry * 0.7), centre, tilt), kPink,
          kPink, 0);
}

void dress(QPainter& p, qreal top, qreal bottom, qreal halfWidth, QColor cloth) {
    QPainterPath d(QPointF(16 - 3, top));
    d.lineTo(16 + 3, top);
    d.quadTo(QPointF(16 + halfWidth * 0.7, bottom - 4), QPointF(16 + halfWidth, bottom));
    d.quadTo(QPointF(16, bottom + 1.5), QPointF(16 - halfWidth, bottom));
    d.quadTo(QPointF(16 - halfWidth * 0.7, bottom - 4), QPointF(16 - 3, top));
    shape(p, d, lit(cloth, {14, top + 3}, bottom - top), outlineOf(cloth));
}

}  // namespace

void lizard(QPainter& p) {
    const QColor orange(255, 140, 30), belly(255, 215, 100);
    QPainterPath tail(QPointF(10, 23));
    tail.cubicTo(QPointF(2, 26), QPointF(0.5, 17), QPointF(4.5, 15.5));
    tail.cubicTo(QPointF(8, 14.5), QPointF(9, 19), QPointF(5.8, 19));
    tube(p, tail, orange, 2.6);
    for (qreal x : {11.0, 20.0}) {
        shape(p, oval(x, 27.2, 2.4, 2.4), orange.darker(115));
    }
    shape(p, oval(15.5, 21.5, 8.5, 5.3), lit(orange, {15.5, 20}, 8.5), outlineOf(orange));
    shape(p, oval(16, 24.2, 5.8, 1.7), belly, belly, 0);
    for (auto [x, y, r] : {std::tuple{11.5, 19.0, 1.3}, {16.5, 18.2, 1.1}, {19.8, 20.6, 0.9}}) {
        shape(p, circle(x, y, r), orange.darker(135), orange.darker(135), 0);
    }
    for (qreal x : {14.0, 23.0}) {
        shape(p, oval(x, 27.8, 2.3, 2.2), orange);
    }
    shape(p, oval(23.5, 13.5, 7, 6.2), lit(orange, {22, 12}, 7), outlineOf(orange));
    shape(p, circle(24, 9.2, 3.3), Qt::white, outlineOf(orange), 1.0);
    eye(p, 24.8, 9.6, 1.6, 1.9);
    smile(p, 26.5, 15.5, 4.5);
    cheek(p, 21.5, 15.5, 1.4, QColor(255, 100, 90));
}

void soldier(QPainter& p) {
    const QColor armour(70, 78, 96), dark(34, 38, 48), visor(255, 70, 40);
    // Legs and boots.
    for (qreal x : {13.0, 19.0}) {
        QPainterPath leg;
        leg.addRoundedRect(QRectF(x - 2.3, 22, 4.6, 7), 1, 1);
        shape(p, leg, lit(armour, {x - 1, 24}, 5), outlineOf(armour));
        QPainterPath boot;
        boot.addRoundedRect(QRectF(x - 3, 28, 6, 3), 1.2, 1.2);
        shape(p, boot, dark, QColor(10, 10, 14), 1.0);
    }
    // Torso with a chest plate.
    QPainterPath torso;
    torso.addRoundedRect(QRectF(9.5, 12, 13, 11.5), 3, 3);
    shape(p, torso, lit(armour, {13, 14}, 10), outlineOf(armour));
    shape(p, polygon({{12, 14}, {20, 14}, {19, 20}, {16, 22}, {13, 20}}),
          lit(armour.lighter(130), {14, 15}, 7), outlineOf(armour), 0.8);
    line(p, {10, 22}, {22, 22}, dark, 1.6);
    for (qreal x : {8.8, 23.2}) {
        shape(p, oval(x, 13.6, 3.6, 2.7), lit(armour, {x - 1, 12.5}, 3.5), outlineOf(armour));
    }
    // Helmet with a glowing visor.
    shape(p, circle(16, 7.5, 5.4), lit(armour, {14.5, 5.5}, 5.4), outlineOf(armour));
    QPainterPath slit;
    slit.addRoundedRect(QRectF(11.6, 6.5, 8.8, 3), 1.4, 1.4);
    QLinearGradient glow(12, 0, 20, 0);
    glow.setColorAt(0, visor.darker(120));
    glow.setColorAt(0.5, QColor(255, 190, 120));
    glow.setColorAt(1, visor.darker(120));
    shape(p, slit, QBrush(glow), QColor(20, 10, 10), 0.8);
    // The rifle across the body, held in both hands.
    const QPolygonF rifle({{3, 26.5},
                           {25, 14.5},
                           {27.5, 15},
                           {28.5, 13.2},
                           {30.5, 12.2},
                           {31, 13.4},
                           {27, 16.8},
                           {9, 26.5},
                           {8.5, 29},
                           {6, 29.5},
                           {6.3, 27.5},
                           {3.5, 28.5}});
    QPainterPath gun;
    gun.addPolygon(rifle);
    gun.closeSubpath();
    shape(p, gun, QColor(28, 28, 32), QColor(5, 5, 8), 0.9);
    line(p, {10, 24}, {22, 17.5}, QColor(110, 115, 125), 0.8);
    for (auto pt : {QPointF(11, 23.8), QPointF(20.5, 18.6)}) {
        shape(p, circle(pt.x(), pt.y(), 1.8), armour.lighter(120));
    }
}

void rabbitInDress(QPainter& p) {
    const QColor fur(238, 220, 198), cloth(255, 110, 170);
    longEar(p, {12.3, 6.5}, 2.3, 6, -10, fur);
    longEar(p, {19.7, 6.5}, 2.3, 6, 10, fur);
    for (qreal x : {12.5, 19.5}) {
        shape(p, oval(x, 30, 2.8, 1.7), fur);
    }
    dress(p, 17, 29.5, 9.5, cloth);
    for (auto pt : {QPointF(12.5, 25), QPointF(16.5, 27.3), QPointF(20, 24), QPointF(16, 22.5),
                    QPointF(11, 28), QPointF(21.5, 28)}) {
        shape(p, circle(pt.x(), pt.y(), 0.9), Qt::white, Qt::white, 0);
    }
    shape(p, blob({{12, 17.5}, {16, 20.5}, {20, 17.5}, {16, 18.5}}), Qt::white, outlineOf(cloth),
          0.8);
    for (int side : {-1, 1}) {
        shape(p, oval(16 + side * 8, 21.5, 1.8, 2.6), fur);
    }
    shape(p, circle(16, 12.5, 6.3), lit(fur, {14, 10.5}, 6.3), outlineOf(fur));
    eye(p, 13.6, 12, 1.2, 1.6);
    eye(p, 18.4, 12, 1.2, 1.6);
    shape(p, oval(16, 14.3, 1.0, 0.7), QColor(230, 80, 120), QColor(230, 80, 120), 0);
    cheek(p, 12.2, 15, 1.3);
    cheek(p, 19.8, 15, 1.3);
    // A little bow between the ears.
    shape(p, polygon({{16, 6.8}, {13, 5.3}, {13.2, 8.3}}), cloth);
    shape(p, polygon({{16, 6.8}, {19, 5.3}, {18.8, 8.3}}), cloth);
}

void fluffyRabbit(QPainter& p) {
    const QColor fur = kWhiteFur;
    shape(p, tilted(oval(10, 8, 2.8, 4.6), {10, 8}, -25), fur);
    shape(p, tilted(oval(22, 8, 2.8, 4.6), {22, 8}, 25), fur);
    shape(p, tilted(oval(10.2, 8.6, 1.3, 2.8), {10, 8}, -25), kPink, kPink, 0);
    shape(p, tilted(oval(21.8, 8.6, 1.3, 2.8), {22, 8}, 25), kPink, kPink, 0);
    shape(p, fluffy(16, 18.5, 12.3, 16), lit(fur, {16, 18.5}, 13), outlineOf(fur));
    eye(p, 12, 17.5, 1.5, 1.9);
    eye(p, 20, 17.5, 1.5, 1.9);
    shape(p, oval(16, 20.5, 1.3, 0.9), QColor(235, 90, 130), QColor(235, 90, 130), 0);
    smile(p, 16, 21.6, 2.6);
    cheek(p, 10, 21, 1.8);
    cheek(p, 22, 21, 1.8);
}

void insectAlien(QPainter& p) {
    const QColor gold(236, 184, 40), dark(44, 36, 58);
    // Six legs, bent at the knee.
    for (int side : {-1, 1}) {
        for (auto [y, kx, ky, fx, fy] : {std::tuple{15.5, 8.0, 10.5, 2.5, 14.0},
                                         {18.0, 9.5, 18.5, 2.0, 23.5},
                                         {20.5, 10.0, 25.0, 6.0, 30.5}}) {
            QPainterPath leg(QPointF(16 + side * 3, y));
            leg.lineTo(16 + side * kx, ky);
            leg.lineTo(side < 0 ? fx : 32 - fx, fy);
            tube(p, leg, gold.darker(115), 1.2);
        }
    }
    // Antennae.
    for (int side : {-1, 1}) {
        QPainterPath a(QPointF(16 + side * 2, 6));
        a.quadTo(QPointF(16 + side * 4, 1), QPointF(16 + side * 8, 1.5));
        stroke(p, a, dark, 1.0);
        shape(p, circle(16 + side * 8, 1.6, 1.2), gold);
    }
    // Abdomen with gold bands, thorax, head.
    shape(p, oval(16, 24, 6, 7), lit(dark, {15, 21}, 7), QColor(15, 10, 25));
    for (qreal y : {21.0, 24.5, 28.0}) {
        QPainterPath band(QPointF(16 - 5.2, y));
        band.quadTo(QPointF(16, y + 1.8), QPointF(16 + 5.2, y));
        stroke(p, band, gold, 1.1, Qt::FlatCap);
    }
    shape(p, oval(16, 15.5, 5, 3.8), lit(gold, {15, 14.5}, 5), outlineOf(gold));
    shape(p, oval(16, 8.6, 5.6, 4.4), lit(dark, {15, 7.5}, 5.6), QColor(15, 10, 25));
    for (int side : {-1, 1}) {
        shape(p, oval(16 + side * 3.3, 8, 2.3, 2.7),
              lit(QColor(120, 255, 90), {16 + side * 3.3, 8}, 2.5), QColor(10, 60, 10), 0.7);
        shape(p, circle(16 + side * 3.3 - 0.7, 7.2, 0.6), Qt::white, Qt::white, 0);
        QPainterPath jaw(QPointF(16 + side * 1.6, 12));
        jaw.quadTo(QPointF(16 + side * 2.4, 14.5), QPointF(16 + side * 0.6, 14.8));
        stroke(p, jaw, gold, 1.0);
    }
}

void kittenMonkey(QPainter& p) {
    const QColor suit(160, 100, 50), tan(250, 215, 170), kitten(250, 246, 240);
    // Tail of the costume.
    QPainterPath tail(QPointF(21, 27));
    tail.cubicTo(QPointF(29, 29), QPointF(31, 21), QPointF(27.5, 19.5));
    tube(p, tail, suit, 1.8);
    // Body in the costume, with a tan belly.
    shape(p, oval(16, 26.5, 7, 5), lit(suit, {15, 25}, 7), outlineOf(suit));
    shape(p, oval(16, 27, 3.8, 3.2), tan, tan, 0);
    for (int side : {-1, 1}) {
        shape(p, oval(16 + side * 4.2, 30.8, 2.2, 1.2), suit);
    }
    // Kitten ears poking out of the hood.
    catEar(p, {8.5, 1.5}, {6.5, 9}, {12.5, 5}, kitten, kPink);
    catEar(p, {23.5, 1.5}, {25.5, 9}, {19.5, 5}, kitten, kPink);
    // The hood with its round monkey ears.
    for (int side : {-1, 1}) {
        shape(p, circle(16 + side * 11.6, 13.5, 3.4), suit);
        shape(p, circle(16 + side * 11.8, 13.5, 1.9), tan, tan, 0);
    }
    shape(p, circle(16, 13, 10), lit(suit, {14, 10}, 10), outlineOf(suit));
    // The kitten's face in the hood's opening.
    shape(p, oval(16, 14, 7, 6.2), lit(kitten, {15, 12}, 7), outlineOf(suit), 0.9);
    eye(p, 13.2, 13.3, 1.2, 1.6);
    eye(p, 18.8, 13.3, 1.2, 1.6);
    shape(p, polygon({{15, 15.5}, {17, 15.5}, {16, 16.7}}), kPink, QColor(200, 80, 110), 0.4);
    whiskers(p, 16, 16.5, 3.2);
    cheek(p, 11.7, 16.4, 1.1);
    cheek(p, 20.3, 16.4, 1.1);
}

void armouredBeast(QPainter& p) {
    const QColor grey(150, 156, 168), plate(120, 126, 140);
    // Far legs, then near legs.
    for (qreal x : {12.0, 24.0}) {
        shape(p, oval(x, 26.5, 2.4, 3.2), grey.darker(125));
    }
    // Tail spike.
    shape(p, polygon({{26, 19}, {31.5, 23}, {26, 23.5}}), plate);
    // Spikes along the back.
    for (qreal x : {11.0, 16.0, 21.0, 25.5}) {
        shape(p,
              polygon({{x - 2, 12.5 + std::abs(x - 18) * 0.2},
                       {x, 7.8 + std::abs(x - 18) * 0.35},
                       {x + 2, 12.5 + std::abs(x - 18) * 0.2}}),
              QColor(220, 222, 230));
    }
    // The shell with its plates.
    QPainterPath shell(QPointF(6, 24));
    shell.cubicTo(QPointF(6, 11), QPointF(28, 9), QPointF(28.5, 24));
    shell.closeSubpath();
    shape(p, shell, lit(grey, {14, 14}, 14), outlineOf(grey));
    for (qreal x : {11.5, 17.0, 22.5}) {
        QPainterPath seam(QPointF(x - 0.5, 12.2 + std::abs(x - 17) * 0.12));
        seam.quadTo(QPointF(x + 1.2, 18), QPointF(x, 24));
        stroke(p, seam, plate.darker(140), 0.9);
    }
    for (qreal x : {9.0, 20.0}) {
        shape(p, oval(x + 5, 27.6, 2.6, 3), grey);
        shape(p, oval(x, 27.4, 2.6, 3), grey);
    }
    // Head with a horn and a fierce eye.
    shape(p, polygon({{3, 15.5}, {1.2, 7.5}, {6.5, 14}}), QColor(245, 240, 220));
    shape(p, blob({{1, 20.5}, {3.5, 14.5}, {9.5, 13.8}, {12.5, 18.5}, {10.5, 24.5}, {3, 24.5}}),
          lit(grey, {6, 16.5}, 7), outlineOf(grey));
    shape(p, oval(6.8, 18, 2.1, 1.6), QColor(255, 210, 40), QColor(90, 40, 0), 0.6);
    shape(p, circle(6.5, 18.1, 0.8), kInk, kInk, 0);
    line(p, {1.8, 21.8}, {6.5, 22.2}, kInk, 0.9);
}

void longEaredRabbit(QPainter& p) {
    const QColor fur = kWhiteFur;
    longEar(p, {11.5, 7.5}, 3.1, 7.2, -12, fur);
    longEar(p, {20.5, 7.5}, 3.1, 7.2, 12, fur);
    shape(p, oval(16, 26.5, 6.5, 5), lit(fur, {15, 25}, 6.5), outlineOf(fur));
    for (int side : {-1, 1}) {
        shape(p, oval(16 + side * 4, 30.4, 2.8, 1.5), fur);
    }
    shape(p, circle(16, 17.5, 8.3), lit(fur, {14, 15}, 8.3), outlineOf(fur));
    eye(p, 12.8, 17, 1.5, 2.0);
    eye(p, 19.2, 17, 1.5, 2.0);
    shape(p, oval(16, 19.8, 1.3, 0.9), QColor(235, 90, 130), QColor(235, 90, 130), 0);
    smile(p, 16, 21, 2.6);
    cheek(p, 11, 20.6, 1.6);
    cheek(p, 21, 20.6, 1.6);
}

void antennaDoll(QPainter& p) {
    const QColor red(230, 40, 50), face(255, 224, 196);
    line(p, {16, 5}, {16, 1.8}, kInk, 1.0);
    shape(p, circle(16, 1.9, 1.6), QColor(255, 230, 40));
    for (int side : {-1, 1}) {
        shape(p, oval(16 + side * 3, 29.5, 1.8, 2.2), red.darker(130));
        shape(p, oval(16 + side * 3.4, 31, 2.3, 1.0), kInk, kInk, 0);
        shape(p, oval(16 + side * 7.2, 20.5, 1.8, 3), red);
    }
    dress(p, 16.5, 28, 7.5, red);
    for (qreal y : {20.0, 23.5}) {
        shape(p, circle(16, y, 0.9), Qt::white, outlineOf(red), 0.5);
    }
    shape(p, circle(16, 11, 7.3), lit(red, {14, 8.5}, 7.3), outlineOf(red));
    shape(p, oval(16, 12, 5.3, 4.7), lit(face, {15, 11}, 5.3), outlineOf(red), 0.7);
    eye(p, 13.8, 11.6, 1.1, 1.5);
    eye(p, 18.2, 11.6, 1.1, 1.5);
    smile(p, 16, 13.8, 2.4, QColor(180, 20, 40));
    cheek(p, 12.6, 14, 1.1, QColor(255, 120, 120));
    cheek(p, 19.4, 14, 1.1, QColor(255, 120, 120));
}

void squirrel(QPainter& p) {
    const QColor yellow(255, 214, 50), tail(240, 175, 30), nut(150, 90, 40);
    // The big bushy tail curls up behind.
    shape(p,
          blob({{18, 28},
                {26.5, 25},
                {30.5, 16},
                {29, 6.5},
                {23, 2.5},
                {17.5, 5},
                {19, 9},
                {23, 9.5},
                {23.5, 15},
                {19, 21}}),
          lit(tail, {24, 12}, 13), outlineOf(tail));
    QPainterPath stripe(QPointF(20.5, 6));
    stripe.cubicTo(QPointF(28, 4), QPointF(29, 16), QPointF(23.5, 22));
    stroke(p, stripe, QColor(255, 235, 140), 1.3);
    // Body, foot, head, ear.
    shape(p, oval(14, 21.5, 6.3, 7.3), lit(yellow, {12.5, 19}, 7), outlineOf(yellow));
    shape(p, oval(13, 22.8, 3.4, 4.8), QColor(255, 240, 180), QColor(255, 240, 180), 0);
    shape(p, oval(15, 29.2, 3.8, 1.8), yellow);
    shape(p, tilted(oval(13.5, 5.8, 1.9, 3.2), {13.5, 5.8}, 15), yellow);
    shape(p, blob({{5, 12.5}, {7, 7.5}, {12, 6}, {16, 9}, {16, 14}, {12.5, 17}, {7.5, 16}}),
          lit(yellow, {10, 9}, 6.5), outlineOf(yellow));
    eye(p, 10, 10.8, 1.3, 1.7);
    shape(p, circle(5.6, 12.6, 0.9), kInk, kInk, 0);
    cheek(p, 10.5, 14, 1.4, QColor(255, 140, 90));
    // An acorn held in the paws.
    shape(p, oval(8.5, 20.5, 2.4, 2.8), lit(nut.lighter(130), {8, 20}, 2.6), outlineOf(nut), 0.9);
    shape(p, oval(8.5, 18.4, 2.8, 1.4), nut.darker(120), outlineOf(nut), 0.9);
    for (int side : {-1, 1}) {
        shape(p, circle(8.5 + side * 2.6, 21.5, 1.2), yellow, outlineOf(yellow), 0.8);
    }
}

void pinkCreature(QPainter& p) {
    const QColor pink(255, 150, 200), feet(225, 40, 90);
    shape(p, oval(10, 28, 4.6, 2.7), lit(feet, {9, 27}, 4.6), outlineOf(feet));
    shape(p, oval(22, 28, 4.6, 2.7), lit(feet, {21, 27}, 4.6), outlineOf(feet));
    shape(p, tilted(oval(4.3, 18, 2.6, 3.6), {4.3, 18}, -30), pink);
    shape(p, tilted(oval(27.8, 14, 2.6, 3.6), {27.8, 14}, 40), pink);
    // A little green sprout on top makes it a creature of its own.
    QPainterPath stem(QPointF(16, 6));
    stem.quadTo(QPointF(15.5, 3.5), QPointF(17, 2.2));
    stroke(p, stem, QColor(40, 130, 40), 1.2);
    shape(p, tilted(oval(19.3, 2.6, 2.6, 1.3), {19.3, 2.6}, -15), QColor(90, 210, 70));
    shape(p, tilted(oval(14, 3, 2.1, 1.1), {14, 3}, 25), QColor(90, 210, 70));
    shape(p, circle(16, 16.5, 11.3), lit(pink, {13, 12.5}, 11.5), outlineOf(pink));
    for (int side : {-1, 1}) {
        shape(p, oval(16 + side * 3.3, 13.8, 1.5, 3), QColor(30, 30, 80), QColor(30, 30, 80), 0);
        shape(p, oval(16 + side * 3.3 - 0.3, 12.6, 0.9, 1.4), Qt::white, Qt::white, 0);
        shape(p, oval(16 + side * 3.3, 16, 0.9, 0.7), QColor(90, 110, 230), QColor(90, 110, 230),
              0);
        cheek(p, 16 + side * 7.5, 18.5, 2.2, QColor(255, 90, 150));
    }
    QPainterPath mouth(QPointF(14.5, 19.5));
    mouth.quadTo(QPointF(16, 22.5), QPointF(17.5, 19.5));
    mouth.closeSubpath();
    shape(p, mouth, QColor(200, 30, 70), QColor(120, 10, 40), 0.6);
}

void monkeyHead(QPainter& p) {
    const QColor brown(160, 96, 50), tan(248, 208, 160);
    for (int side : {-1, 1}) {
        shape(p, circle(16 + side * 11.8, 16.5, 4.3), lit(brown, {16 + side * 11.8, 15.5}, 4.3),
              outlineOf(brown));
        shape(p, circle(16 + side * 11.8, 16.5, 2.5), tan, tan, 0);
    }
    shape(p, circle(16, 16, 11), lit(brown, {13, 12}, 11), outlineOf(brown));
    // Tuft of hair.
    shape(p, polygon({{13, 6}, {14.5, 2.6}, {16, 5.5}, {17.7, 2.2}, {19, 5.8}}), brown);
    QPainterPath face =
        circle(12.4, 14.4, 4.3).united(circle(19.6, 14.4, 4.3)).united(oval(16, 20.3, 8, 5.6));
    shape(p, face, lit(tan, {14, 14}, 9), outlineOf(brown), 0.8);
    eye(p, 12.8, 14.4, 1.5, 2.0);
    eye(p, 19.2, 14.4, 1.5, 2.0);
    shape(p, circle(15, 18.7, 0.7), kInk, kInk, 0);
    shape(p, circle(17, 18.7, 0.7), kInk, kInk, 0);
    smile(p, 16, 21, 6, QColor(110, 50, 20));
}

void hatRabbit(QPainter& p) {
    const QColor fur = kWhiteFur, hat(255, 215, 20), band(230, 50, 50);
    shape(p, tilted(oval(8, 8, 2.6, 5.2), {8, 8}, -38), fur);
    shape(p, tilted(oval(24, 8, 2.6, 5.2), {24, 8}, 38), fur);
    shape(p, tilted(oval(8, 8.4, 1.2, 3.3), {8, 8}, -38), kPink, kPink, 0);
    shape(p, tilted(oval(24, 8.4, 1.2, 3.3), {24, 8}, 38), kPink, kPink, 0);
    shape(p, fluffy(16, 20, 11.6, 15), lit(fur, {16, 19}, 12.5), outlineOf(fur));
    // The yellow hat: brim, crown and a red band.
    shape(p, oval(16, 10.3, 9, 2.4), lit(hat, {14, 9.5}, 9), outlineOf(hat));
    QPainterPath crown(QPointF(10.8, 10.3));
    crown.cubicTo(QPointF(10.8, 2.5), QPointF(21.2, 2.5), QPointF(21.2, 10.3));
    crown.closeSubpath();
    shape(p, crown, lit(hat, {14, 6}, 7), outlineOf(hat));
    stroke(
        p,
        [] {
            QPainterPath b(QPointF(11, 8.6));
            b.quadTo(QPointF(16, 9.8), QPointF(21, 8.6));
            return b;
        }(),
        band, 1.5, Qt::FlatCap);
    eye(p, 12.3, 19.5, 1.4, 1.8);
    eye(p, 19.7, 19.5, 1.4, 1.8);
    shape(p, oval(16, 22.2, 1.2, 0.85), QColor(235, 90, 130), QColor(235, 90, 130), 0);
    cheek(p, 10.2, 22.7, 1.7);
    cheek(p, 21.8, 22.7, 1.7);
}

void bearFace(QPainter& p) {
    const QColor yellow(255, 205, 40), inner(255, 145, 40), muzzle(255, 240, 190);
    for (int side : {-1, 1}) {
        shape(p, circle(16 + side * 9.8, 7.5, 4.6), lit(yellow, {16 + side * 9.8, 6.5}, 4.6),
              outlineOf(yellow));
        shape(p, circle(16 + side * 9.6, 7.8, 2.5), inner, inner, 0);
    }
    shape(p, oval(16, 17.5, 12, 10.8), lit(yellow, {13, 13}, 12), outlineOf(yellow));
    shape(p, oval(16, 21.5, 5.8, 4.4), muzzle, outlineOf(yellow), 0.7);
    shape(p, oval(16, 19.6, 2.1, 1.5), kInk, kInk, 0);
    shape(p, circle(15.4, 19.2, 0.5), Qt::white, Qt::white, 0);
    QPainterPath mouth(QPointF(13.8, 22.8));
    mouth.quadTo(QPointF(15, 24.2), QPointF(16, 22.6));
    mouth.quadTo(QPointF(17, 24.2), QPointF(18.2, 22.8));
    stroke(p, mouth, kInk, 0.8);
    line(p, {16, 21}, {16, 22.6}, kInk, 0.8);
    eye(p, 10.8, 15.5, 1.4, 1.8);
    eye(p, 21.2, 15.5, 1.4, 1.8);
    cheek(p, 8.3, 20, 1.8, QColor(255, 130, 90));
    cheek(p, 23.7, 20, 1.8, QColor(255, 130, 90));
}

void mouse(QPainter& p) {
    const QColor yellow(255, 220, 60);
    QPainterPath tail(QPointF(21, 27.5));
    tail.cubicTo(QPointF(29, 30), QPointF(31, 23), QPointF(27.5, 20.5));
    stroke(p, tail, outlineOf(yellow), 1.4);
    for (int side : {-1, 1}) {
        shape(p, circle(16 + side * 8.3, 7.3, 5.7), lit(yellow, {16 + side * 8.3, 6.5}, 5.7),
              outlineOf(yellow));
        shape(p, circle(16 + side * 8.1, 7.6, 3.6), kPink, kPink, 0);
    }
    shape(p, oval(16, 25, 6.3, 5.8), lit(yellow, {15, 23}, 6.3), outlineOf(yellow));
    shape(p, oval(16, 26, 3.6, 3.6), QColor(255, 244, 190), QColor(255, 244, 190), 0);
    for (int side : {-1, 1}) {
        shape(p, oval(16 + side * 3.8, 30.6, 2.6, 1.3), yellow);
        shape(p, oval(16 + side * 6.3, 24, 1.5, 2.4), yellow);
    }
    shape(p, oval(16, 14.8, 8.4, 7.2), lit(yellow, {14, 12}, 8.4), outlineOf(yellow));
    eye(p, 13, 13.8, 1.4, 1.9);
    eye(p, 19, 13.8, 1.4, 1.9);
    shape(p, circle(16, 17.2, 1.0), QColor(240, 90, 120), QColor(240, 90, 120), 0);
    whiskers(p, 16, 17.6, 4.5);
    cheek(p, 10.8, 17.3, 1.3);
    cheek(p, 21.2, 17.3, 1.3);
}

void kittenBow(QPainter& p) {
    const QColor fur(250, 250, 252), bow(255, 70, 150);
    catEar(p, {6, 3}, {4.5, 14}, {13, 8}, fur, kPink);
    catEar(p, {26, 3}, {27.5, 14}, {19, 8}, fur, kPink);
    shape(
        p,
        blob(
            {{3.5, 18}, {6, 10}, {16, 7.5}, {26, 10}, {28.5, 18}, {24, 26.5}, {16, 28}, {8, 26.5}}),
        lit(fur, {13, 13}, 14), outlineOf(fur));
    eye(p, 11.3, 17.5, 1.7, 2.3);
    eye(p, 20.7, 17.5, 1.7, 2.3);
    shape(p, oval(16, 20.6, 1.3, 0.9), QColor(255, 200, 60), QColor(200, 120, 0), 0.5);
    whiskers(p, 16, 21.3, 6.5);
    cheek(p, 9, 21.5, 1.6);
    cheek(p, 23, 21.5, 1.6);
    // The pink bow on the left ear.
    shape(p, blob({{9, 8.5}, {3.5, 4.5}, {2.5, 10}, {4, 12.5}}), lit(bow, {5, 7}, 4),
          outlineOf(bow), 1.0);
    shape(p, blob({{9, 8.5}, {14, 3.5}, {15.5, 8.5}, {13, 11}}), lit(bow, {12, 6}, 4),
          outlineOf(bow), 1.0);
    shape(p, circle(9, 8.5, 1.8), bow.lighter(115), outlineOf(bow), 0.9);
}

void kittenDress(QPainter& p) {
    const QColor fur(255, 170, 80), cloth(255, 220, 40);
    QPainterPath tail(QPointF(20, 25));
    tail.cubicTo(QPointF(28, 27), QPointF(30, 19), QPointF(26.5, 16.5));
    tube(p, tail, fur, 1.8);
    for (int side : {-1, 1}) {
        shape(p, oval(16 + side * 3.6, 30, 2.6, 1.6), fur);
    }
    dress(p, 17, 29, 9, cloth);
    QPainterPath hem(QPointF(7.5, 28.6));
    hem.quadTo(QPointF(16, 31.2), QPointF(24.5, 28.6));
    stroke(p, hem, Qt::white, 1.2);
    shape(p, circle(16, 21.5, 1.2), QColor(255, 110, 150), outlineOf(cloth), 0.5);
    for (int side : {-1, 1}) {
        shape(p, oval(16 + side * 7.6, 21.2, 1.8, 2.6), fur);
    }
    catEar(p, {9.5, 2.5}, {8.5, 10}, {14, 6.5}, fur, kPink);
    catEar(p, {22.5, 2.5}, {23.5, 10}, {18, 6.5}, fur, kPink);
    shape(p, oval(16, 12, 7.6, 6.6), lit(fur, {14, 10}, 7.6), outlineOf(fur));
    for (qreal x : {14.5, 16.0, 17.5}) {
        line(p, {x, 5.8}, {x + (x - 16) * 0.2, 7.8}, fur.darker(135), 0.8);
    }
    eye(p, 13.2, 12, 1.3, 1.7);
    eye(p, 18.8, 12, 1.3, 1.7);
    shape(p, polygon({{15.2, 14.2}, {16.8, 14.2}, {16, 15.1}}), kPink, QColor(200, 80, 110), 0.4);
    whiskers(p, 16, 15.2, 3.8);
}

void dragon(QPainter& p) {
    const QColor blue(60, 140, 240), belly(180, 225, 255), wing(120, 110, 235);
    QPainterPath tail(QPointF(9, 24));
    tail.cubicTo(QPointF(2, 26), QPointF(1, 20), QPointF(3.5, 17.5));
    tube(p, tail, blue, 2.6);
    shape(p, polygon({{3.5, 14}, {1.5, 18}, {5.5, 18.5}}), QColor(255, 210, 60));
    // The wing behind the body.
    shape(p, polygon({{12, 15}, {7, 4}, {10.5, 6.5}, {13, 3.5}, {15, 7}, {18, 6}, {17, 15}}),
          lit(wing, {12, 8}, 8), outlineOf(wing));
    for (qreal x : {11.0, 16.0}) {
        shape(p, oval(x, 27.5, 2.4, 2.6), blue.darker(115));
    }
    shape(p, oval(14, 21, 8, 6.8), lit(blue, {12, 18}, 8), outlineOf(blue));
    shape(p, oval(16, 23.3, 4.6, 4.2), belly, belly, 0);
    for (qreal y : {21.0, 23.0, 25.0}) {
        line(p, {13.2, y}, {18.6, y}, belly.darker(120), 0.5);
    }
    for (qreal x : {13.0, 19.0}) {
        shape(p, oval(x, 28.3, 2.4, 2.0), blue);
    }
    // Head with a snout, horns and a big eye.
    shape(p, polygon({{20.5, 7.5}, {21.5, 1.8}, {23.5, 7}}), QColor(255, 220, 90));
    shape(p, polygon({{24.5, 7.5}, {27, 2.5}, {27.5, 8}}), QColor(255, 220, 90));
    shape(p,
          blob({{18, 12}, {20, 7}, {25.5, 6.5}, {30.5, 11}, {30.5, 15}, {25.5, 17.5}, {20, 16.5}}),
          lit(blue, {22, 9}, 7), outlineOf(blue));
    shape(p, circle(24, 10.5, 2.5), Qt::white, outlineOf(blue), 0.7);
    eye(p, 24.6, 10.8, 1.3, 1.6);
    shape(p, circle(29, 12.5, 0.55), kInk, kInk, 0);
    smile(p, 27, 14.6, 3.4);
    cheek(p, 21.5, 14.3, 1.2);
}

void tinyBird(QPainter& p) {
    const QColor black(30, 30, 36), grey(150, 152, 164);
    shape(p, polygon({{12.8, 16}, {10.3, 15}, {10.5, 18.2}}), black, black, 0);
    shape(p, oval(15.5, 16.8, 3.8, 2.9), black, black, 0);
    shape(p, circle(19, 14.6, 2.3), black, black, 0);
    shape(p, polygon({{21, 14}, {23.3, 14.9}, {21, 15.8}}), QColor(255, 190, 40),
          QColor(255, 190, 40), 0);
    shape(p, tilted(oval(15, 15.6, 3, 1.7), {15, 15.6}, -20), grey, grey.darker(150), 0.6);
    shape(p, circle(19.6, 14.1, 0.55), Qt::white, Qt::white, 0);
    line(p, {15, 19.5}, {14.6, 20.8}, QColor(255, 190, 40), 0.6);
    line(p, {17, 19.5}, {17.2, 20.8}, QColor(255, 190, 40), 0.6);
}

}  // namespace picgen::art
