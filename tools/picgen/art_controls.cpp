// SPDX-FileCopyrightText: 2026 Kalvex developers
//
// SPDX-License-Identifier: MIT

// The window's own pictures: the play field, the gauge button, the title
// banner, the two hover buttons and the claw with its three frames.

#include <array>
#include <cmath>
#include <stdexcept>
#include <string_view>
#include <vector>

#include "art.h"
#include "canvas.h"

namespace picgen::art {

QImage field() {
    QImage image(210, 210, QImage::Format_RGB32);
    image.fill(Qt::white);
    return image;
}

namespace {

// A bold pixel font, so the button reads crisply at 1:1. Rows run from the
// ascender line down to the baseline; short letters have fewer rows. A
// letter not listed is a space.
struct Glyph {
    char letter;
    std::vector<std::string_view> rows;
};

const std::array<Glyph, 8> kGlyphs = {{
    {'C',
     {".####.", "######", "##..##", "##....", "##....", "##....", "##....", "##..##", "######",
      ".####."}},
    {'l', {"##", "##", "##", "##", "##", "##", "##", "##", "##", "##"}},
    {'i', {"##", "##", "..", "##", "##", "##", "##", "##", "##", "##"}},
    {'c', {".###.", "#####", "##..#", "##...", "##..#", "#####", ".###."}},
    {'k',
     {"##....", "##....", "##....", "##..##", "##.##.", "####..", "###...", "####..", "##.##.",
      "##..##"}},
    {'H',
     {"##..##", "##..##", "##..##", "##..##", "######", "######", "##..##", "##..##", "##..##",
      "##..##"}},
    {'e', {".###.", "##.##", "##.##", "#####", "##...", "##..#", ".###."}},
    {'r', {"##.##", "#####", "###..", "##...", "##...", "##...", "##..."}},
}};

constexpr int kSpaceWidth = 4;

const Glyph* glyph(char letter) {
    for (const Glyph& g : kGlyphs) {
        if (g.letter == letter) {
            return &g;
        }
    }
    return nullptr;
}

// Draws the text with its baseline at `baseline`; returns the width it took.
int pixelText(QImage* image, std::string_view text, int left, int baseline, QRgb colour) {
    int x = left;
    for (char c : text) {
        const Glyph* g = glyph(c);
        if (!g) {
            x += kSpaceWidth;
            continue;
        }
        const int top = baseline - static_cast<int>(g->rows.size()) + 1;
        for (std::size_t r = 0; r < g->rows.size(); ++r) {
            for (std::size_t i = 0; i < g->rows[r].size(); ++i) {
                if (image && g->rows[r][i] == '#') {
                    image->setPixel(x + static_cast<int>(i), top + static_cast<int>(r), colour);
                }
            }
        }
        x += static_cast<int>(g->rows[0].size()) + 1;
    }
    return x - left - 1;
}

}  // namespace

QImage clickHere() {
    QImage image(80, 20, QImage::Format_RGB32);
    image.fill(QColor(255, 226, 30));
    QPainter p(&image);
    // A raised button on the yellow cabinet: light top-left, dark bottom-right.
    p.setPen(QColor(255, 248, 170));
    p.drawLine(1, 1, 78, 1);
    p.drawLine(1, 1, 1, 18);
    p.setPen(QColor(200, 140, 0));
    p.drawLine(1, 18, 78, 18);
    p.drawLine(78, 1, 78, 18);
    p.setPen(QColor(60, 40, 0));
    p.drawRect(0, 0, 79, 19);
    p.end();
    const std::string_view text = "Click Here";
    const int width = pixelText(nullptr, text, 0, 0, 0);
    pixelText(&image, text, (80 - width) / 2, 14, qRgb(0, 0, 0));
    return image;
}

namespace {

// One hand-drawn stroke: the path is followed in small steps with a gentle
// wobble and a varying width, like a marker pressed unevenly.
void handStroke(QPainter& p, const QPainterPath& path, Noise& noise, qreal width) {
    const int steps = std::max(8, static_cast<int>(path.length() * 1.5));
    qreal drift = 0, pressure = 0;
    QPointF last;
    for (int i = 0; i <= steps; ++i) {
        const qreal t = static_cast<qreal>(i) / steps;
        drift = drift * 0.75 + noise.next() * 0.22;
        pressure = pressure * 0.8 + noise.next() * 0.12;
        const qreal angle = path.angleAtPercent(t) * M_PI / 180;
        const QPointF normal(-std::sin(angle), -std::cos(angle));
        const QPointF point = path.pointAtPercent(t) + normal * drift;
        if (i > 0) {
            line(p, last, point, Qt::white, width * (1.0 + pressure));
        }
        last = point;
    }
}

QPainterPath segment(QPointF a, QPointF b) {
    QPainterPath path(a);
    path.lineTo(b);
    return path;
}

// The letters of the name, in a box 20 high (cap line 0, x-height 7, baseline 20).
std::vector<QPainterPath> letterK() {
    QPainterPath arm(QPointF(14, 0.5));
    arm.quadTo(QPointF(7, 7), QPointF(2, 11.5));
    QPainterPath leg(QPointF(5.5, 9));
    leg.quadTo(QPointF(10, 15), QPointF(15, 20));
    return {segment({1.5, 0}, {1.5, 20}), arm, leg};
}

std::vector<QPainterPath> letterA() {
    QPainterPath bowl(QPointF(12, 9.5));
    bowl.cubicTo(QPointF(9, 5.5), QPointF(0.5, 6.5), QPointF(0.5, 14));
    bowl.cubicTo(QPointF(0.5, 21.5), QPointF(9, 21.5), QPointF(12, 15.5));
    return {bowl, segment({12.5, 7}, {13, 20})};
}

std::vector<QPainterPath> letterL() {
    QPainterPath stem(QPointF(2, 0));
    stem.lineTo(QPointF(2, 17));
    stem.quadTo(QPointF(2.2, 20.5), QPointF(5, 19.5));
    return {stem};
}

std::vector<QPainterPath> letterV() {
    QPainterPath v(QPointF(0.5, 7));
    v.lineTo(QPointF(7, 20));
    v.lineTo(QPointF(13.5, 7));
    return {v};
}

std::vector<QPainterPath> letterE() {
    QPainterPath e(QPointF(1, 13.5));
    e.lineTo(QPointF(12.5, 13));
    e.cubicTo(QPointF(13, 5), QPointF(0.5, 4.5), QPointF(0.5, 13.5));
    e.cubicTo(QPointF(0.5, 21.5), QPointF(9.5, 22), QPointF(13, 17.5));
    return {e};
}

std::vector<QPainterPath> letterX() {
    return {segment({0.5, 7}, {13.5, 20}), segment({13.5, 7}, {0.5, 20})};
}

}  // namespace

namespace {

// The blue bar behind the banner covers its rows 3 to 27, its light outline
// included; the letters keep to the pure blue rows between.
constexpr int kBarTop = 4, kBarBottom = 26;

bool withinRows(const QImage& image, int top, int bottom) {
    for (int y = 0; y < image.height(); ++y) {
        if (y >= top && y <= bottom) {
            continue;
        }
        for (int x = 0; x < image.width(); ++x) {
            if (qAlpha(image.pixel(x, y)) != 0) {
                return false;
            }
        }
    }
    return true;
}

QImage drawBanner(qreal scale) {
    struct Letter {
        std::vector<QPainterPath> strokes;
        qreal width;
    };
    const std::vector<Letter> letters = {{letterK(), 15}, {letterA(), 14}, {letterL(), 5},
                                         {letterV(), 14}, {letterE(), 14}, {letterX(), 14}};
    const qreal gap = 8, strokeWidth = 3.8;
    qreal total = -gap;
    for (const Letter& l : letters) {
        total += l.width * scale + gap;
    }
    Noise noise(0x4b616c76);  // "Kalv"
    const QImage art = render(
        [&](QPainter& p) {
            qreal x = (180 - total) / 2;
            for (const Letter& l : letters) {
                p.save();
                // Each letter a little tilted and off the line, as drawn by hand.
                p.translate(x + l.width * scale / 2, 15.5 + noise.next() * 0.7);
                p.rotate(noise.next() * 6);
                p.scale(scale, scale);
                p.translate(-l.width / 2, -10);
                for (const QPainterPath& s : l.strokes) {
                    handStroke(p, s, noise, strokeWidth / scale);
                }
                p.restore();
                x += l.width * scale + gap;
            }
        },
        180, 30, 180);
    // The banner sits on the blue bar: soft edges are blended onto it.
    return matteEdges(art, QColor(0, 0, 255), 90);
}

}  // namespace

QImage banner() {
    // As large as the bar allows.
    for (int percent = 110; percent > 60; percent -= 2) {
        QImage image = drawBanner(percent / 100.0);
        if (withinRows(image, kBarTop, kBarBottom)) {
            return image;
        }
    }
    throw std::runtime_error("banner: the letters do not fit the bar");
}

QImage ball(QColor body, QColor rim) {
    const QImage art = render(
        [&](QPainter& p) {
            const QPointF c(16, 16);
            shape(p, circle(16, 16, 14.6), lit(rim, c, 15), outlineOf(rim), 1.0);
            shape(p, circle(16, 16, 11.2), lit(body, c, 11.5), outlineOf(rim), 0.8);
            shine(p, 12.2, 11.2, 3.4, 230);
            shine(p, 20.5, 21.5, 1.2, 110);
        },
        32, 32, 32);
    // The buttons sit on the yellow cabinet.
    return matteEdges(art, QColor(255, 255, 0));
}

QImage claw(Claw pose) {
    struct Look {
        qreal ballY, radius;
        QColor green;
        qreal rodTop;
        std::vector<std::vector<QPointF>> arm;  // the left arm; the right one mirrors it
    };
    // All four share the centre line x = 20 of the 40 x 40 canvas.
    const Look look = [&]() -> Look {
        switch (pose) {
            case Claw::Open:
                return {
                    17, 8, QColor(40, 230, 40), 0, {{{14.5, 21}, {8, 27}, {3.5, 36}, {6.5, 38.5}}}};
            case Claw::Closed:
                return {17,
                        8,
                        QColor(40, 230, 40),
                        4,
                        {{{14.2, 21.5}, {13.6, 27.5}, {15.5, 30.2}, {17.6, 30.4}}}};
            case Claw::Lowered:
                return {
                    21, 6, QColor(20, 165, 30), 0, {{{15.3, 24}, {10.5, 29}, {9, 34}, {11.5, 36}}}};
            case Claw::Bottom:
                return {
                    23, 4.5, QColor(10, 105, 20), 15, {{{16.3, 25.5}, {15.9, 28.8}, {18.3, 30.2}}}};
        }
        return {};
    }();
    const QImage art = render(
        [&](QPainter& p) {
            const QColor black(20, 20, 24);
            line(p, {20, look.rodTop}, {20, look.ballY - look.radius + 1}, black, 2.2);
            for (const auto& arm : look.arm) {
                for (int side : {-1, 1}) {
                    QPainterPath path;
                    for (std::size_t i = 0; i < arm.size(); ++i) {
                        const QPointF pt(20 + side * (arm[i].x() - 20), arm[i].y());
                        i == 0 ? path.moveTo(pt) : path.lineTo(pt);
                    }
                    stroke(p, path, black, 1.7);
                }
            }
            const QPointF c(20, look.ballY);
            shape(p, circle(20, look.ballY, look.radius), lit(look.green, c, look.radius),
                  outlineOf(look.green), 1.1);
            shine(p, 20 - look.radius * 0.38, look.ballY - look.radius * 0.42, look.radius * 0.28,
                  220);
        },
        40, 40, 40);
    return hardEdges(art);
}

}  // namespace picgen::art
