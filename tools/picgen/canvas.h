// SPDX-FileCopyrightText: 2026 Kalvex developers
//
// SPDX-License-Identifier: MIT

#pragma once

// Small drawing kit shared by the pictures: a transparent canvas in a
// chosen unit space, cartoon shapes with outlines, shading, and the final
// step that gives every pixel full or no opacity.

#include <QBrush>
#include <QColor>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <cstdint>
#include <functional>

namespace picgen {

// Draws into a transparent image of w x h pixels whose painter works in a
// space of `units` x `units * h / w` (so a 32-unit drawing fits any size).
using Drawing = std::function<void(QPainter&)>;
QImage render(const Drawing& draw, int width, int height, qreal units);

// Every pixel becomes fully opaque (with its own unblended colour) or fully
// transparent, as the file formats have no partial transparency.
QImage hardEdges(const QImage& art, int threshold = 128);

// Like hardEdges, but soft edge pixels are blended onto the colour the
// picture will sit on, so curves stay smooth there.
QImage matteEdges(const QImage& art, QColor background, int threshold = 64);

QPainterPath oval(qreal cx, qreal cy, qreal rx, qreal ry);
QPainterPath circle(qreal cx, qreal cy, qreal r);
QPainterPath polygon(std::initializer_list<QPointF> points);
// A closed smooth outline through the points (Catmull-Rom).
QPainterPath blob(std::initializer_list<QPointF> points);

// Fills a shape and draws its outline; the outline is a darker shade of the
// fill unless given.
void shape(QPainter& p, const QPainterPath& path, const QBrush& fill, QColor line,
           qreal width = 1.3);
void shape(QPainter& p, const QPainterPath& path, QColor fill, qreal width = 1.3);
void stroke(QPainter& p, const QPainterPath& path, QColor colour, qreal width,
            Qt::PenCapStyle cap = Qt::RoundCap);
void line(QPainter& p, QPointF a, QPointF b, QColor colour, qreal width);

// A round body lit from the top left.
QBrush lit(QColor base, QPointF centre, qreal radius);
// The dark outline colour that goes with a fill.
QColor outlineOf(QColor fill);

// Cartoon details.
void eye(QPainter& p, qreal cx, qreal cy, qreal rx, qreal ry);
void cheek(QPainter& p, qreal cx, qreal cy, qreal r, QColor colour = QColor(255, 140, 160));
void smile(QPainter& p, qreal cx, qreal cy, qreal w, QColor colour = QColor(60, 30, 30));
void shine(QPainter& p, qreal cx, qreal cy, qreal r, int alpha = 200);

// Fixed-seed noise, the same on every platform.
class Noise {
public:
    explicit Noise(std::uint32_t seed) : state_(seed) {}
    // A value in [-1, 1].
    qreal next();

private:
    std::uint32_t state_;
};

}  // namespace picgen
