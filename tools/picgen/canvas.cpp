// SPDX-FileCopyrightText: 2026 Kalvex developers
//
// SPDX-License-Identifier: MIT

#include "canvas.h"

#include <QRadialGradient>
#include <algorithm>
#include <vector>

namespace picgen {

QImage render(const Drawing& draw, int width, int height, qreal units) {
    QImage image(width, height, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    const qreal scale = width / units;
    p.scale(scale, scale);
    draw(p);
    return image;
}

QImage hardEdges(const QImage& art, int threshold) {
    QImage out(art.size(), QImage::Format_ARGB32);
    for (int y = 0; y < art.height(); ++y) {
        const auto* in = reinterpret_cast<const QRgb*>(art.constScanLine(y));
        auto* o = reinterpret_cast<QRgb*>(out.scanLine(y));
        for (int x = 0; x < art.width(); ++x) {
            const QRgb c = qUnpremultiply(in[x]);
            o[x] = qAlpha(in[x]) >= threshold ? (c | 0xff000000u) : 0u;
        }
    }
    return out;
}

QImage matteEdges(const QImage& art, QColor background, int threshold) {
    QImage out(art.size(), QImage::Format_ARGB32);
    for (int y = 0; y < art.height(); ++y) {
        const auto* in = reinterpret_cast<const QRgb*>(art.constScanLine(y));
        auto* o = reinterpret_cast<QRgb*>(out.scanLine(y));
        for (int x = 0; x < art.width(); ++x) {
            const QRgb c = in[x];  // premultiplied
            const int a = qAlpha(c);
            if (a < threshold) {
                o[x] = 0;
                continue;
            }
            auto mix = [a](int front, int back) {
                return std::clamp(front + back * (255 - a) / 255, 0, 255);
            };
            o[x] = qRgb(mix(qRed(c), background.red()), mix(qGreen(c), background.green()),
                        mix(qBlue(c), background.blue()));
        }
    }
    return out;
}

QPainterPath oval(qreal cx, qreal cy, qreal rx, qreal ry) {
    QPainterPath path;
    path.addEllipse(QPointF(cx, cy), rx, ry);
    return path;
}

QPainterPath circle(qreal cx, qreal cy, qreal r) {
    return oval(cx, cy, r, r);
}

QPainterPath polygon(std::initializer_list<QPointF> points) {
    QPainterPath path;
    path.addPolygon(QPolygonF(QList<QPointF>(points)));
    path.closeSubpath();
    return path;
}

QPainterPath blob(std::initializer_list<QPointF> list) {
    const std::vector<QPointF> pts(list);
    const int n = static_cast<int>(pts.size());
    auto at = [&](int i) { return pts[static_cast<std::size_t>((i + n) % n)]; };
    QPainterPath path(pts.front());
    for (int i = 0; i < n; ++i) {
        const QPointF c1 = at(i) + (at(i + 1) - at(i - 1)) / 6.0;
        const QPointF c2 = at(i + 1) - (at(i + 2) - at(i)) / 6.0;
        path.cubicTo(c1, c2, at(i + 1));
    }
    path.closeSubpath();
    return path;
}

void shape(QPainter& p, const QPainterPath& path, const QBrush& fill, QColor line, qreal width) {
    p.setBrush(fill);
    p.setPen(width > 0 ? QPen(line, width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin)
                       : QPen(Qt::NoPen));
    p.drawPath(path);
}

void shape(QPainter& p, const QPainterPath& path, QColor fill, qreal width) {
    shape(p, path, QBrush(fill), outlineOf(fill), width);
}

void stroke(QPainter& p, const QPainterPath& path, QColor colour, qreal width,
            Qt::PenCapStyle cap) {
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(colour, width, Qt::SolidLine, cap, Qt::RoundJoin));
    p.drawPath(path);
}

void line(QPainter& p, QPointF a, QPointF b, QColor colour, qreal width) {
    p.setPen(QPen(colour, width, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(a, b);
}

QBrush lit(QColor base, QPointF centre, qreal radius) {
    QRadialGradient g(centre, radius * 1.15, centre + QPointF(-radius * 0.4, -radius * 0.45));
    const QColor light = QColor::fromRgbF(base.redF() * 0.55 + 0.45, base.greenF() * 0.55 + 0.45,
                                          base.blueF() * 0.55 + 0.45);
    g.setColorAt(0.0, light);
    g.setColorAt(0.5, base);
    g.setColorAt(1.0, base.darker(135));
    return QBrush(g);
}

QColor outlineOf(QColor fill) {
    float h, s, v;
    fill.getHsvF(&h, &s, &v);
    if (s < 0.12f) {
        return QColor(70, 72, 96);  // greys and whites get a cool dark outline
    }
    return QColor::fromHsvF(h, std::min(1.0f, s * 0.8f + 0.35f), v * 0.38f);
}

void eye(QPainter& p, qreal cx, qreal cy, qreal rx, qreal ry) {
    shape(p, oval(cx, cy, rx, ry), QColor(28, 24, 36), QColor(28, 24, 36), 0);
    shape(p, circle(cx - rx * 0.3, cy - ry * 0.38, rx * 0.48), Qt::white, Qt::white, 0);
}

void cheek(QPainter& p, qreal cx, qreal cy, qreal r, QColor colour) {
    shape(p, oval(cx, cy, r, r * 0.65), colour, colour, 0);
}

void smile(QPainter& p, qreal cx, qreal cy, qreal w, QColor colour) {
    QPainterPath path(QPointF(cx - w / 2, cy));
    path.quadTo(QPointF(cx, cy + w * 0.55), QPointF(cx + w / 2, cy));
    stroke(p, path, colour, 0.9);
}

void shine(QPainter& p, qreal cx, qreal cy, qreal r, int alpha) {
    QColor c(255, 255, 255, alpha);
    shape(p, oval(cx, cy, r, r * 0.7), c, c, 0);
}

qreal Noise::next() {
    // xorshift32: tiny, and the same sequence everywhere.
    state_ ^= state_ << 13;
    state_ ^= state_ >> 17;
    state_ ^= state_ << 5;
    return static_cast<qreal>(state_) / 2147483647.5 - 1.0;
}

}  // namespace picgen
