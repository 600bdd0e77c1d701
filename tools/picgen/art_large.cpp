// SPDX-FileCopyrightText: 2026 Kalvex developers
//
// SPDX-License-Identifier: MIT

// The large prizes: science-fiction robots, craft and creatures, drawn in a
// 48-unit square with full 24-bit shading.

#include <QLinearGradient>
#include <QRadialGradient>
#include <cmath>
#include <tuple>
#include <utility>

#include "art.h"
#include "canvas.h"

namespace picgen::art {

namespace {

void tube(QPainter& p, const QPainterPath& path, QColor fill, qreal width) {
    stroke(p, path, outlineOf(fill), width + 2.2);
    stroke(p, path, fill, width);
}

QPainterPath polyline(std::initializer_list<QPointF> points) {
    QPainterPath path(*points.begin());
    for (auto it = points.begin() + 1; it != points.end(); ++it) {
        path.lineTo(*it);
    }
    return path;
}

QBrush metal(QColor base, qreal x1, qreal x2) {
    QLinearGradient g(x1, 0, x2, 0);
    g.setColorAt(0, base.lighter(150));
    g.setColorAt(0.45, base);
    g.setColorAt(1, base.darker(160));
    return QBrush(g);
}

QPainterPath rounded(qreal x, qreal y, qreal w, qreal h, qreal r) {
    QPainterPath path;
    path.addRoundedRect(QRectF(x, y, w, h), r, r);
    return path;
}

}  // namespace

void walkerRobot(QPainter& p) {
    const QColor steel(120, 134, 160), dark(58, 64, 80), glow(255, 80, 40);
    // Two legs with backward knees and broad feet.
    for (int side : {-1, 1}) {
        const QPointF hip(24 + side * 6, 29), knee(24 + side * 12, 35.5),
            ankle(24 + side * 8, 42.5);
        tube(p, polyline({hip, knee, ankle}), dark.lighter(130), 3.4);
        shape(p, circle(knee.x(), knee.y(), 2.6), lit(steel, knee, 2.6), outlineOf(steel), 1.1);
        shape(p, rounded(ankle.x() - 5.5, 42.5, 11, 3.5, 1.5),
              metal(dark.lighter(140), ankle.x() - 5, ankle.x() + 5), QColor(20, 22, 30), 1.1);
    }
    // Shoulder missile pods.
    for (int side : {-1, 1}) {
        const qreal x = 24 + side * 15;
        shape(p, rounded(x - 4.5, 11, 9, 9, 2), metal(steel, x - 4, x + 4), outlineOf(steel), 1.1);
        for (qreal dx : {-2.0, 2.0}) {
            shape(p, circle(x + dx, 13.5, 1.3), QColor(240, 60, 50), QColor(90, 10, 10), 0.7);
            shape(p, circle(x + dx, 17.5, 1.3), QColor(240, 60, 50), QColor(90, 10, 10), 0.7);
        }
    }
    // The armoured hull.
    QPainterPath hull(QPointF(13, 14));
    hull.lineTo(35, 14);
    hull.lineTo(37, 22);
    hull.lineTo(32, 31);
    hull.lineTo(16, 31);
    hull.lineTo(11, 22);
    hull.closeSubpath();
    shape(p, hull, metal(steel, 12, 36), outlineOf(steel), 1.3);
    line(p, {12.5, 24}, {35.5, 24}, dark, 1.0);
    for (qreal x : {18.0, 24.0, 30.0}) {
        shape(p, circle(x, 27.5, 0.9), dark, dark, 0);
    }
    // Cockpit visor and an antenna with a light.
    QLinearGradient visor(0, 16, 0, 21);
    visor.setColorAt(0, QColor(255, 220, 150));
    visor.setColorAt(1, glow);
    shape(p, rounded(16.5, 16, 15, 5, 2), QBrush(visor), QColor(40, 10, 10), 1.0);
    line(p, {30, 14}, {32, 6}, dark, 1.0);
    shape(p, circle(32, 5.5, 1.6), QColor(120, 255, 120), QColor(0, 90, 0), 0.7);
    // Guns under the hull.
    for (int side : {-1, 1}) {
        shape(p, rounded(24 + side * 10 - 1.5, 25, 3, 8, 1), dark.lighter(110), QColor(20, 20, 28),
              1.0);
    }
}

void spacecraft(QPainter& p) {
    const QColor red(225, 35, 45), black(30, 30, 38);
    p.translate(24, 24);
    p.rotate(45);  // flying up to the right
    // Engine flames behind.
    for (qreal x : {-3.0, 3.0}) {
        QRadialGradient flame(QPointF(x, 18), 5);
        flame.setColorAt(0, QColor(255, 255, 200));
        flame.setColorAt(0.5, QColor(255, 200, 40));
        flame.setColorAt(1, QColor(255, 90, 20));
        shape(p, blob({{x - 2, 16}, {x, 25.5}, {x + 2, 16}, {x, 15}}), QBrush(flame),
              QColor(200, 60, 0), 0.8);
    }
    // Black wings with red tips.
    for (int side : {-1, 1}) {
        shape(p, polygon({{side * 4.0, -3}, {side * 18.0, 9}, {side * 18.0, 14}, {side * 4.5, 10}}),
              metal(black.lighter(160), side * 4.0, side * 18.0), QColor(5, 5, 10), 1.1);
        shape(p,
              polygon({{side * 15.5, 7}, {side * 18.0, 9}, {side * 18.0, 14}, {side * 15.5, 13.3}}),
              red, outlineOf(red), 0.8);
        shape(p, polygon({{side * 2.5, 10}, {side * 8.0, 15.5}, {side * 2.5, 15}}), black,
              QColor(5, 5, 10), 1.0);
    }
    // Red hull with a black stripe and a cyan cockpit.
    QPainterPath hull(QPointF(0, -22));
    hull.cubicTo(QPointF(3, -16), QPointF(5, -8), QPointF(5, 6));
    hull.lineTo(3.5, 16.5);
    hull.lineTo(-3.5, 16.5);
    hull.lineTo(-5, 6);
    hull.cubicTo(QPointF(-5, -8), QPointF(-3, -16), QPointF(0, -22));
    shape(p, hull, metal(red, -5, 5), outlineOf(red), 1.2);
    shape(p, polygon({{-4.8, 2}, {4.8, 2}, {4.6, 6}, {-4.6, 6}}), black, black, 0);
    QLinearGradient glass(-2, -12, 2, -4);
    glass.setColorAt(0, QColor(220, 255, 255));
    glass.setColorAt(1, QColor(30, 150, 210));
    shape(p, oval(0, -8, 2.2, 4.5), QBrush(glass), QColor(10, 40, 70), 0.8);
}

void greenWalker(QPainter& p) {
    const QColor green(60, 175, 75), gold(240, 190, 50);
    // Far legs, darker, then the near ones.
    for (int side : {-1, 1}) {
        const QPointF hip(24 + side * 6, 26), knee(24 + side * 11, 31), foot(24 + side * 9.5, 43);
        tube(p, polyline({hip, knee, foot}), green.darker(150), 2.4);
        shape(p, oval(foot.x(), foot.y() + 0.5, 2.8, 1.4), gold.darker(130));
    }
    for (int side : {-1, 1}) {
        const QPointF hip(24 + side * 9, 23), knee(24 + side * 18, 17), foot(24 + side * 20.5, 42);
        tube(p, polyline({hip, knee, foot}), green.darker(115), 2.8);
        shape(p, circle(knee.x(), knee.y(), 2.3), lit(gold, knee, 2.3), outlineOf(gold), 1.0);
        shape(p,
              polygon({{foot.x() - 3, foot.y() + 2.5},
                       {foot.x(), foot.y() - 2},
                       {foot.x() + 3, foot.y() + 2.5}}),
              gold, outlineOf(gold), 1.0);
    }
    // The domed body with a gold band and a gold dome.
    shape(p, oval(24, 22, 13.5, 8.5), lit(green, {20, 18}, 13.5), outlineOf(green), 1.3);
    QPainterPath band(QPointF(10.8, 22.5));
    band.quadTo(QPointF(24, 29), QPointF(37.2, 22.5));
    stroke(p, band, gold, 2.2, Qt::FlatCap);
    shape(p, QPainterPath([] {
              QPainterPath d(QPointF(17, 15.5));
              d.cubicTo(QPointF(17, 7), QPointF(31, 7), QPointF(31, 15.5));
              d.closeSubpath();
              return d;
          }()),
          lit(gold, {22, 10}, 8), outlineOf(gold), 1.1);
    // Eye lights and a cannon underneath.
    for (qreal x : {18.5, 24.0, 29.5}) {
        shape(p, circle(x, 20, 1.4), QColor(255, 250, 150), QColor(120, 90, 0), 0.7);
    }
    shape(p, rounded(21.5, 28, 5, 6.5, 1.5), metal(QColor(90, 90, 100), 21.5, 26.5),
          QColor(20, 20, 28), 1.0);
}

void alienBeast(QPainter& p) {
    const QColor brown(140, 85, 45), red(215, 40, 30);
    // Red spikes along the back.
    for (auto [x, y, tx, ty] : {std::tuple{19.0, 14.5, 18.5, 6.5},
                                {25.0, 12.5, 26.0, 4.0},
                                {31.0, 13.5, 33.5, 5.5},
                                {37.0, 16.5, 41.0, 10.0},
                                {41.0, 21.5, 46.5, 18.0}}) {
        shape(p, polygon({{x - 3, y + 2}, {tx, ty}, {x + 3, y + 2}}), lit(red, {tx, ty + 2}, 5),
              outlineOf(red), 1.0);
    }
    // Far leg, body, near leg.
    shape(p, oval(35, 40, 4, 5), brown.darker(130));
    shape(
        p,
        blob({{12, 25}, {17, 15}, {30, 12.5}, {41, 18}, {44, 29}, {38, 37.5}, {22, 38}, {14, 33}}),
        lit(brown, {24, 18}, 20), outlineOf(brown), 1.3);
    shape(p, oval(28, 32, 9, 4), QColor(200, 120, 70), QColor(200, 120, 70), 0);
    // Stout legs with claws at the front of each foot.
    for (qreal x : {22.0, 38.0}) {
        shape(p, rounded(x - 4, 33, 8, 12.5, 3), lit(brown, {x - 1.5, 37}, 7), outlineOf(brown),
              1.2);
        for (qreal dx : {-5.0, -2.5, 0.0}) {
            shape(p, polygon({{x + dx - 0.6, 43.5}, {x + dx - 2.2, 46.2}, {x + dx + 0.9, 45.2}}),
                  QColor(245, 240, 225), QColor(90, 80, 70), 0.6);
        }
    }
    // Head with a gaping jaw and glowing red eyes.
    shape(p, blob({{2, 24}, {5, 16}, {13, 14}, {19, 20}, {18, 29}, {11, 33}, {4, 31}}),
          lit(brown, {9, 18}, 10), outlineOf(brown), 1.3);
    QPainterPath mouth(QPointF(2.5, 25));
    mouth.quadTo(QPointF(9, 23), QPointF(14, 26));
    mouth.quadTo(QPointF(9, 31.5), QPointF(3.5, 29));
    mouth.closeSubpath();
    shape(p, mouth, QColor(120, 10, 20), QColor(50, 5, 5), 1.0);
    for (qreal x : {4.5, 7.5, 10.5}) {
        shape(p, polygon({{x - 1.1, 24.6}, {x, 27}, {x + 1.1, 24.4}}), Qt::white,
              QColor(120, 110, 100), 0.5);
        shape(p, polygon({{x - 1, 29.6}, {x + 0.2, 27.5}, {x + 1.2, 29.8}}), Qt::white,
              QColor(120, 110, 100), 0.5);
    }
    QRadialGradient eyeGlow(QPointF(9, 19), 2.4);
    eyeGlow.setColorAt(0, QColor(255, 240, 120));
    eyeGlow.setColorAt(1, red);
    shape(p, oval(9, 19.5, 2.6, 1.6), QBrush(eyeGlow), QColor(60, 0, 0), 0.8);
    line(p, {6, 17}, {12, 17.8}, QColor(60, 30, 10), 1.2);
}

void energySphere(QPainter& p) {
    // A halo of light, a glowing sphere and sparks arcing off it.
    QRadialGradient halo(QPointF(24, 24), 21);
    halo.setColorAt(0.7, QColor(110, 190, 255));
    halo.setColorAt(1.0, QColor(40, 90, 230));
    QPainterPath corona;
    for (int i = 0; i < 16; ++i) {
        const qreal a = 2 * M_PI * i / 16, r = i % 2 == 0 ? 22.5 : 18.5;
        const QPointF pt(24 + std::cos(a) * r, 24 + std::sin(a) * r);
        i == 0 ? corona.moveTo(pt) : corona.lineTo(pt);
    }
    corona.closeSubpath();
    shape(p, corona, QBrush(halo), QColor(20, 60, 190), 1.0);
    QRadialGradient core(QPointF(24, 24), 16, QPointF(21, 20));
    core.setColorAt(0.0, QColor(255, 255, 255));
    core.setColorAt(0.3, QColor(160, 245, 255));
    core.setColorAt(0.7, QColor(40, 140, 255));
    core.setColorAt(1.0, QColor(20, 40, 170));
    shape(p, circle(24, 24, 15.5), QBrush(core), QColor(10, 20, 110), 1.2);
    // A tilted orbit of light round it.
    QTransform t;
    t.translate(24, 24);
    t.rotate(-25);
    QPainterPath orbit;
    orbit.addEllipse(QPointF(0, 0), 19.5, 5.5);
    stroke(p, t.map(orbit), QColor(200, 250, 255), 1.4);
    // Lightning inside the sphere.
    for (auto bolt : {std::initializer_list<QPointF>{{16, 17}, {20, 22}, {18, 25}, {24, 30}},
                      std::initializer_list<QPointF>{{31, 15}, {27, 21}, {30, 23}, {26, 29}}}) {
        stroke(p, polyline(bolt), QColor(255, 255, 255), 1.1);
    }
}

void wingedAlien(QPainter& p) {
    const QColor brown(135, 85, 50), membrane(195, 135, 85), bone(80, 45, 25);
    // Both wings, spread wide, with bones.
    for (int side : {-1, 1}) {
        auto x = [side](qreal v) { return 24 + side * (24 - v); };
        shape(p,
              blob({{x(20), 19},
                    {x(12), 9},
                    {x(1.5), 4},
                    {x(3), 15},
                    {x(5), 24},
                    {x(9.5), 24.5},
                    {x(12), 29},
                    {x(16), 28.5},
                    {x(19.5), 32}}),
              lit(membrane, {x(10), 12}, 16), bone, 1.2);
        for (auto tip : {QPointF(x(1.5), 4), QPointF(x(4.5), 22), QPointF(x(11.5), 27.5)}) {
            stroke(p, polyline({{x(19), 20}, {x(12), 10.5}, tip}), bone, 1.1);
        }
    }
    // Tail, legs, body.
    QPainterPath tail(QPointF(24, 36));
    tail.cubicTo(QPointF(25, 42), QPointF(31, 43), QPointF(33, 39.5));
    tube(p, tail, brown, 1.6);
    for (int side : {-1, 1}) {
        tube(p, polyline({{24 + side * 3.0, 34}, {24 + side * 5.0, 40}, {24 + side * 4.0, 45}}),
             brown, 2.2);
        for (qreal dx : {-1.5, 0.0, 1.5}) {
            line(p, {24 + side * 4.0, 45}, {24 + side * 4.0 + dx * 1.4, 47.2},
                 QColor(240, 230, 200), 0.8);
        }
    }
    shape(p, oval(24, 28, 6, 9.5), lit(brown, {22, 24}, 9), outlineOf(brown), 1.2);
    for (qreal y : {25.0, 28.0, 31.0}) {
        line(p, {21.5, y}, {26.5, y}, brown.darker(140), 0.8);
    }
    // Head with curved horns and glowing green eyes.
    shape(p, blob({{24, 9}, {29, 12}, {28.5, 18}, {24, 22}, {19.5, 18}, {19, 12}}),
          lit(brown, {22, 12}, 7), outlineOf(brown), 1.2);
    for (int side : {-1, 1}) {
        // A crescent horn sweeping up and out from the top of the head.
        QPainterPath horn(QPointF(24 + side * 1.5, 11));
        horn.quadTo(QPointF(24 + side * 4, 4), QPointF(24 + side * 10.5, 1.5));
        horn.quadTo(QPointF(24 + side * 7.5, 8), QPointF(24 + side * 5, 12.5));
        horn.closeSubpath();
        shape(p, horn, lit(QColor(225, 205, 160), {24 + side * 5.0, 5}, 6), QColor(70, 50, 30),
              1.0);
    }
    for (int side : {-1, 1}) {
        shape(p, polygon({{24 + side * 1.3, 15}, {24 + side * 4.3, 13.4}, {24 + side * 3.6, 16.3}}),
              QColor(150, 255, 90), QColor(20, 80, 0), 0.6);
    }
    line(p, {22.5, 19.5}, {25.5, 19.5}, QColor(40, 15, 5), 0.9);
}

}  // namespace picgen::art
