// SPDX-FileCopyrightText: 2026 Kalvex developers
//
// SPDX-License-Identifier: MIT

#include "contact_sheet.h"

#include <QDir>
#include <QFile>
#include <QImageReader>
#include <QPainter>
#include <QtEndian>
#include <algorithm>
#include <cstdio>
#include <vector>

#include "catalogue.h"

namespace picgen {

namespace {

constexpr int kZoom = 4;
constexpr int kGap = 12;
constexpr int kLabel = 16;
constexpr int kSheetWidth = 1500;

void checkerboard(QPainter& p, const QRect& area) {
    const int square = kZoom * 2;
    for (int y = area.top(); y < area.bottom(); y += square) {
        for (int x = area.left(); x < area.right(); x += square) {
            const bool dark = ((x - area.left()) / square + (y - area.top()) / square) % 2;
            p.fillRect(QRect(x, y, square, square).intersected(area),
                       dark ? QColor(200, 204, 210) : QColor(232, 234, 238));
        }
    }
}

// Qt ignores the AND mask of 24-bit icon images; the sheet shows it as the
// game does.
void applyIconMask(QImage& image, const QByteArray& file, int index) {
    const auto* bytes = reinterpret_cast<const uchar*>(file.constData());
    const quint32 offset = qFromLittleEndian<quint32>(bytes + 6 + 16 * index + 12);
    const uchar* header = bytes + offset;
    const int width = qFromLittleEndian<qint32>(header + 4);
    const int height = qFromLittleEndian<qint32>(header + 8) / 2;
    const int bits = qFromLittleEndian<quint16>(header + 14);
    const int paletteBytes = bits <= 8 ? 4 << bits : 0;
    const int colourRow = (width * bits + 31) / 32 * 4, maskRow = (width + 31) / 32 * 4;
    const uchar* mask = header + 40 + paletteBytes + colourRow * height;
    image = image.convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < height; ++y) {
        const uchar* row = mask + (height - 1 - y) * maskRow;
        for (int x = 0; x < width; ++x) {
            if (row[x / 8] & (0x80 >> (x % 8))) {
                image.setPixel(x, y, 0);
            }
        }
    }
}

}  // namespace

bool writeContactSheet(const QString& folder, const QString& sheetPath) {
    struct Tile {
        QString caption;
        QImage image;
    };
    std::vector<Tile> tiles;
    for (const PictureFile& file : catalogue()) {
        const QString path = QDir(folder).filePath(file.name);
        QFile in(path);
        QImageReader reader(path);
        if (!in.open(QIODevice::ReadOnly) || !reader.canRead()) {
            std::fprintf(stderr, "cannot read %s\n", qPrintable(path));
            return false;
        }
        const QByteArray bytes = in.readAll();
        const int count = std::max(1, reader.imageCount());
        for (int i = 0; i < count; ++i) {
            reader.jumpToImage(i);
            QImage image = reader.read();
            QString caption = file.name;
            if (file.format == Format::Ico) {
                applyIconMask(image, bytes, i);
                caption +=
                    QStringLiteral(" %1b").arg(file.layers[static_cast<std::size_t>(i)].bits);
            }
            tiles.push_back({caption, image});
        }
    }

    // The big white play field goes last, so the small pictures sit together.
    std::stable_partition(tiles.begin(), tiles.end(),
                          [](const Tile& t) { return t.image.width() < 200; });

    // Tiles flow left to right in rows; a row is as high as its tallest tile.
    struct Placed {
        QRect box;
        int row;
    };
    std::vector<Placed> placed;
    std::vector<int> rowHeights;
    int x = kGap, row = 0;
    rowHeights.push_back(0);
    for (const Tile& tile : tiles) {
        const QSize size = tile.image.size() * kZoom;
        const int width = std::max(size.width(), 150);
        if (x + width + kGap > kSheetWidth && x > kGap) {
            x = kGap;
            ++row;
            rowHeights.push_back(0);
        }
        placed.push_back({QRect(QPoint(x + (width - size.width()) / 2, 0), size), row});
        rowHeights.back() = std::max(rowHeights.back(), size.height() + kLabel + kGap);
        x += width + kGap;
    }
    std::vector<int> rowTops{kGap};
    for (int h : rowHeights) {
        rowTops.push_back(rowTops.back() + h);
    }

    QImage sheet(kSheetWidth, rowTops.back(), QImage::Format_RGB32);
    sheet.fill(QColor(250, 250, 250));
    QPainter p(&sheet);
    QFont font;
    font.setPixelSize(12);
    p.setFont(font);
    for (std::size_t i = 0; i < tiles.size(); ++i) {
        QRect box = placed[i].box;
        box.moveTop(rowTops[static_cast<std::size_t>(placed[i].row)]);
        checkerboard(p, box);
        p.drawImage(
            box, tiles[i].image.scaled(box.size(), Qt::IgnoreAspectRatio, Qt::FastTransformation));
        p.setPen(Qt::black);
        p.drawText(QRect(box.center().x() - 100, box.bottom() + 2, 200, kLabel), Qt::AlignCenter,
                   tiles[i].caption);
    }
    p.end();
    return sheet.save(sheetPath, "PNG");
}

}  // namespace picgen
