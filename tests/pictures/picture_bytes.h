// SPDX-FileCopyrightText: 2026 Kalvex developers
//
// SPDX-License-Identifier: MIT

#pragma once

// Readers of the three picture formats' own headers, written from the
// formats' layouts, so the tests judge the files and not the generator.

#include <QByteArray>
#include <QImage>
#include <QRgb>
#include <QString>
#include <vector>

namespace kalvex::testing {

// The committed bytes of an embedded picture file ("claw-open.gif").
QByteArray pictureBytes(const QString& file);

struct GifFacts {
    QByteArray version;  // "GIF89a"
    int width = 0, height = 0;
    bool globalTable = false;
    int globalTableSize = 0;  // entries, from the size bits
    int images = 0;
    int controlExtensions = 0;
    bool transparencyFlag = false;
    int transparentIndex = -1;
    QRect firstImage;
    bool localTable = false;
    bool endsWithTrailer = false;
};
GifFacts readGif(const QByteArray& bytes);

struct IconFacts {
    // From the directory entry.
    int entryWidth = 0, entryHeight = 0, entryColours = 0, entryPlanes = 0, entryBits = 0;
    qint64 entrySize = 0, entryOffset = 0;
    // From the bitmap header.
    int headerSize = 0, width = 0, doubledHeight = 0, planes = 0, bits = 0, compression = 0;
    std::vector<QRgb> palette;
    // Per pixel, top row first: the colour the bitmap gives and the mask bit.
    std::vector<QRgb> colours;
    std::vector<bool> masked;
    qint64 expectedSize = 0;  // header, palette, colour rows and mask rows

    int height() const { return doubledHeight / 2; }
    bool maskedAt(int x, int y) const { return masked[std::size_t(y * width + x)]; }
    QRgb colourAt(int x, int y) const { return colours[std::size_t(y * width + x)]; }
};
struct IcoFacts {
    int reserved = -1, type = 0;
    std::vector<IconFacts> images;
};
IcoFacts readIco(const QByteArray& bytes);

struct JpegFacts {
    bool startsWithSoi = false, endsWithEoi = false;
    std::vector<int> frameMarkers;  // every SOFn marker seen (0xC0 ... 0xCF but C4, C8, CC)
    int precision = 0, width = 0, height = 0, components = 0;
};
JpegFacts readJpeg(const QByteArray& bytes);

// An icon file's image decoded by Qt, with transparency from the file's AND
// mask (Qt leaves 24-bit images opaque).
QImage iconImageWithMask(const QByteArray& bytes, int index);

}  // namespace kalvex::testing
