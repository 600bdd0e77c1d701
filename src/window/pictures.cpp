// SPDX-FileCopyrightText: 2026 Kalvex developers
//
// SPDX-License-Identifier: MIT

#include "window/pictures.h"

#include <QFile>
#include <QGuiApplication>
#include <QImageReader>
#include <QtEndian>
#include <cmath>

namespace kalvex {

namespace {

struct PictureFile {
    const char* key;  // as used by the layout table
    const char* file;
};

// Which file each picture key shows. The rabbit serves the window icon and
// prizes 8 and 13; the squirrel serves prizes 10 and 14.
constexpr PictureFile kPictureFiles[] = {
    {"field", "field.jpg"},
    {"click-here", "click-here.jpg"},
    {"banner", "banner.gif"},
    {"blue-ball", "blue-ball.gif"},
    {"red-ball", "red-ball.gif"},
    {"claw-open", "claw-open.gif"},
    {"claw-closed", "claw-closed.gif"},
    {"claw-lowered", "claw-lowered.gif"},
    {"claw-bottom", "claw-bottom.gif"},
    {"rabbit", "rabbit.ico"},
    {"squirrel", "squirrel.ico"},
    {"prize-01", "prize-01.ico"},
    {"prize-02", "prize-02.ico"},
    {"prize-03", "prize-03.ico"},
    {"prize-04", "prize-04.ico"},
    {"prize-05", "prize-05.ico"},
    {"prize-06", "prize-06.ico"},
    {"prize-07", "prize-07.ico"},
    {"prize-09", "prize-09.ico"},
    {"prize-11", "prize-11.ico"},
    {"prize-12", "prize-12.ico"},
    {"prize-15", "prize-15.ico"},
    {"prize-16", "prize-16.ico"},
    {"prize-17", "prize-17.ico"},
    {"prize-18", "prize-18.ico"},
    {"prize-19", "prize-19.ico"},
    {"prize-20", "prize-20.ico"},
    {"prize-21", "prize-21.ico"},
    {"prize-22", "prize-22.ico"},
    {"prize-23", "prize-23.ico"},
    {"prize-24", "prize-24.ico"},
    {"prize-25", "prize-25.ico"},
    {"prize-26", "prize-26.ico"},
    {"prize-27", "prize-27.ico"},
};

// One image of an icon file, as its directory and bitmap header describe it.
struct IconImage {
    int width = 0, height = 0, bits = 0;
    qsizetype maskOffset = 0;  // where its AND mask starts in the file
};

std::vector<IconImage> iconImages(const QByteArray& file) {
    std::vector<IconImage> images;
    const auto* bytes = reinterpret_cast<const uchar*>(file.constData());
    if (file.size() < 6) {
        return images;
    }
    const int count = qFromLittleEndian<quint16>(bytes + 4);
    for (int i = 0; i < count; ++i) {
        const qsizetype entry = 6 + 16 * static_cast<qsizetype>(i);
        if (entry + 16 > file.size()) {
            break;
        }
        const qsizetype offset = qFromLittleEndian<quint32>(bytes + entry + 12);
        if (offset + 40 > file.size()) {
            continue;
        }
        const uchar* header = bytes + offset;
        IconImage image;
        image.width = qFromLittleEndian<qint32>(header + 4);
        image.height = qFromLittleEndian<qint32>(header + 8) / 2;  // colour and mask
        image.bits = qFromLittleEndian<quint16>(header + 14);
        const qsizetype palette = image.bits <= 8 ? qsizetype(4) << image.bits : 0;
        const qsizetype colourRow = (qsizetype(image.width) * image.bits + 31) / 32 * 4;
        image.maskOffset = offset + 40 + palette + colourRow * image.height;
        images.push_back(image);
    }
    return images;
}

// Qt applies the AND mask only to palettised icon images; a 24-bit image
// would come out opaque. The mask is the file's word on transparency, so it
// is applied here for every depth.
void applyMask(QImage& image, const QByteArray& file, const IconImage& icon) {
    const qsizetype maskRow = (qsizetype(icon.width) + 31) / 32 * 4;
    if (icon.maskOffset + maskRow * icon.height > file.size() ||
        image.size() != QSize(icon.width, icon.height)) {
        return;
    }
    image = image.convertToFormat(QImage::Format_ARGB32);
    const auto* mask = reinterpret_cast<const uchar*>(file.constData()) + icon.maskOffset;
    for (int y = 0; y < icon.height; ++y) {
        const uchar* row = mask + (icon.height - 1 - y) * maskRow;  // rows run bottom-up
        auto* pixels = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < icon.width; ++x) {
            if (row[x / 8] & (0x80 >> (x % 8))) {
                pixels[x] = 0;
            }
        }
    }
}

QImage decodeIcon(const QString& path) {
    QFile in(path);
    if (!in.open(QIODevice::ReadOnly)) {
        return {};
    }
    const QByteArray file = in.readAll();
    const std::vector<IconImage> images = iconImages(file);
    if (images.empty()) {
        return {};
    }
    // The largest image, and of those the one with the most colours.
    std::size_t best = 0;
    for (std::size_t i = 1; i < images.size(); ++i) {
        const auto area = [&](std::size_t k) { return images[k].width * images[k].height; };
        if (area(i) > area(best) || (area(i) == area(best) && images[i].bits > images[best].bits)) {
            best = i;
        }
    }
    QImageReader reader(path, "ico");
    reader.jumpToImage(static_cast<int>(best));
    QImage image = reader.read();
    applyMask(image, file, images[best]);
    return image;
}

}  // namespace

QString picturePath(const QString& key) {
    for (const PictureFile& p : kPictureFiles) {
        if (key == QLatin1String(p.key)) {
            return QStringLiteral(":/pictures/") + QLatin1String(p.file);
        }
    }
    return {};
}

QImage decodePicture(const QString& key) {
    const QString path = picturePath(key);
    if (path.isEmpty()) {
        return {};
    }
    QImage image = path.endsWith(QLatin1String(".ico")) ? decodeIcon(path) : QImage(path);
    return image.convertToFormat(QImage::Format_ARGB32_Premultiplied);
}

QPixmap loadPicture(const QString& key, qreal devicePixelRatio) {
    QImage image = decodePicture(key);
    if (image.isNull()) {
        qWarning("kalvex: no picture for key %s", qPrintable(key));
        return {};
    }
    const int factor = std::max(1, static_cast<int>(std::lround(devicePixelRatio)));
    if (factor > 1) {
        image = image.scaled(image.size() * factor, Qt::IgnoreAspectRatio, Qt::FastTransformation);
        image.setDevicePixelRatio(factor);
    }
    return QPixmap::fromImage(image);
}

QPixmap loadPicture(const QString& key) {
    return loadPicture(key, qGuiApp ? qGuiApp->devicePixelRatio() : 1.0);
}

}  // namespace kalvex
