#include "window/pictures.h"

#include <QHash>
#include <QPainter>

namespace kalvex {

namespace {

struct StandIn {
    int width, height;
    QColor colour;
};

// Plain stand-ins of the pictures' exact sizes, until the drawn ones arrive.
StandIn standIn(const QString& key) {
    static const QHash<QString, StandIn> table = {
        {"field", {210, 210, Qt::white}},
        {"click-here", {80, 20, QColor(255, 255, 0)}},
        {"banner", {180, 30, Qt::transparent}},
        {"blue-ball", {32, 32, QColor(40, 80, 230)}},
        {"red-ball", {32, 32, QColor(230, 40, 40)}},
        {"claw-open", {40, 40, QColor(0, 200, 0)}},
        {"claw-closed", {40, 40, QColor(0, 170, 0)}},
        {"claw-lowered", {40, 40, QColor(0, 130, 0)}},
        {"claw-bottom", {40, 40, QColor(0, 90, 0)}},
        {"rabbit", {32, 32, QColor(235, 235, 245)}},
        {"squirrel", {32, 32, QColor(240, 200, 40)}},
    };
    if (auto it = table.find(key); it != table.end()) {
        return *it;
    }
    const int index = key.mid(6).toInt();
    const int size = index >= 22 ? 48 : 32;
    return {size, size, QColor::fromHsv((index * 37) % 360, 160, 220)};
}

}  // namespace

QPixmap loadPicture(const QString& key) {
    const StandIn s = standIn(key);
    QPixmap pixmap(s.width, s.height);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    if (key.startsWith("claw")) {
        // A round blob on a rod, so the claw is visible on the white field.
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setPen(QPen(Qt::black, 2));
        painter.drawLine(20, 0, 20, 14);
        painter.setBrush(s.colour);
        painter.drawEllipse(QPointF(20, 20), 8, 8);
    } else if (key.endsWith("ball")) {
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setPen(Qt::NoPen);
        painter.setBrush(s.colour);
        painter.drawEllipse(QRectF(1, 1, 30, 30));
    } else if (key == "banner") {
        painter.setPen(Qt::white);
        QFont font;
        font.setPixelSize(24);
        font.setBold(true);
        painter.setFont(font);
        painter.drawText(pixmap.rect(), Qt::AlignCenter, QStringLiteral("Kalvex"));
    } else if (key == "click-here") {
        painter.fillRect(pixmap.rect(), s.colour);
        painter.setPen(Qt::black);
        QFont font;
        font.setPixelSize(12);
        font.setBold(true);
        painter.setFont(font);
        painter.drawText(pixmap.rect(), Qt::AlignCenter, QStringLiteral("Click Here"));
    } else if (key == "field") {
        pixmap.fill(s.colour);
    } else {
        painter.fillRect(pixmap.rect().adjusted(2, 2, -2, -2), s.colour);
    }
    return pixmap;
}

}  // namespace kalvex
