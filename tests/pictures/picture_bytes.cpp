// SPDX-FileCopyrightText: 2026 Kalvex developers
//
// SPDX-License-Identifier: MIT

#include "pictures/picture_bytes.h"

#include <QBuffer>
#include <QFile>
#include <QImageReader>
#include <QtEndian>

namespace kalvex::testing {

namespace {

// Little-endian reads that stay inside the buffer (0 past its end).
struct Cursor {
    const QByteArray& bytes;
    qsizetype at = 0;

    bool has(qsizetype n) const { return at + n <= bytes.size(); }
    int u8(qsizetype pos) const {
        return pos < bytes.size() ? static_cast<unsigned char>(bytes[pos]) : 0;
    }
    int u16(qsizetype pos) const { return u8(pos) | u8(pos + 1) << 8; }
    qint64 u32(qsizetype pos) const { return qint64(u16(pos)) | qint64(u16(pos + 2)) << 16; }
    int be16(qsizetype pos) const { return u8(pos) << 8 | u8(pos + 1); }
};

}  // namespace

QByteArray pictureBytes(const QString& file) {
    QFile in(QStringLiteral(":/pictures/") + file);
    return in.open(QIODevice::ReadOnly) ? in.readAll() : QByteArray();
}

GifFacts readGif(const QByteArray& bytes) {
    GifFacts f;
    Cursor c{bytes};
    if (bytes.size() < 13) {
        return f;
    }
    f.version = bytes.left(6);
    f.width = c.u16(6);
    f.height = c.u16(8);
    const int packed = c.u8(10);
    f.globalTable = packed & 0x80;
    f.globalTableSize = 1 << ((packed & 7) + 1);
    qsizetype pos = 13 + (f.globalTable ? 3 * f.globalTableSize : 0);
    auto skipSubBlocks = [&] {
        while (pos < bytes.size() && c.u8(pos) != 0) {
            pos += 1 + c.u8(pos);
        }
        ++pos;
    };
    while (pos < bytes.size()) {
        const int block = c.u8(pos);
        if (block == 0x3B) {
            f.endsWithTrailer = pos == bytes.size() - 1;
            return f;
        }
        if (block == 0x21) {
            const int label = c.u8(pos + 1);
            pos += 2;
            if (label == 0xF9 && c.u8(pos) == 4) {
                ++f.controlExtensions;
                f.transparencyFlag = c.u8(pos + 1) & 1;
                f.transparentIndex = c.u8(pos + 4);
            }
            skipSubBlocks();
        } else if (block == 0x2C) {
            if (++f.images == 1) {
                f.firstImage =
                    QRect(c.u16(pos + 1), c.u16(pos + 3), c.u16(pos + 5), c.u16(pos + 7));
                f.localTable = c.u8(pos + 9) & 0x80;
            }
            const int local = c.u8(pos + 9);
            pos += 10 + ((local & 0x80) ? 3 * (1 << ((local & 7) + 1)) : 0);
            ++pos;  // LZW minimum code size
            skipSubBlocks();
        } else {
            return f;  // not a GIF block: no trailer will be found
        }
    }
    return f;
}

IcoFacts readIco(const QByteArray& bytes) {
    IcoFacts f;
    Cursor c{bytes};
    if (bytes.size() < 6) {
        return f;
    }
    f.reserved = c.u16(0);
    f.type = c.u16(2);
    const int count = c.u16(4);
    for (int i = 0; i < count; ++i) {
        const qsizetype e = 6 + 16 * qsizetype(i);
        IconFacts img;
        img.entryWidth = c.u8(e) ? c.u8(e) : 256;
        img.entryHeight = c.u8(e + 1) ? c.u8(e + 1) : 256;
        img.entryColours = c.u8(e + 2);
        img.entryPlanes = c.u16(e + 4);
        img.entryBits = c.u16(e + 6);
        img.entrySize = c.u32(e + 8);
        img.entryOffset = c.u32(e + 12);
        const qsizetype h = img.entryOffset;
        img.headerSize = static_cast<int>(c.u32(h));
        img.width = static_cast<int>(c.u32(h + 4));
        img.doubledHeight = static_cast<int>(c.u32(h + 8));
        img.planes = c.u16(h + 12);
        img.bits = c.u16(h + 14);
        img.compression = static_cast<int>(c.u32(h + 16));
        const int entries = img.bits <= 8 ? 1 << img.bits : 0;
        for (int k = 0; k < entries; ++k) {
            const qsizetype q = h + 40 + 4 * k;
            img.palette.push_back(qRgb(c.u8(q + 2), c.u8(q + 1), c.u8(q)));
        }
        const int w = img.width, ht = img.height();
        const qsizetype colourRow = (qsizetype(w) * img.bits + 31) / 32 * 4;
        const qsizetype maskRow = (qsizetype(w) + 31) / 32 * 4;
        const qsizetype colourStart = h + 40 + 4 * entries;
        const qsizetype maskStart = colourStart + colourRow * ht;
        img.expectedSize = 40 + 4 * entries + (colourRow + maskRow) * ht;
        if (w <= 0 || ht <= 0 || w > 256 || ht > 256 || img.bits == 0) {
            f.images.push_back(img);
            continue;
        }
        for (int y = 0; y < ht; ++y) {
            const qsizetype row = colourStart + colourRow * (ht - 1 - y);  // bottom-up
            const qsizetype mrow = maskStart + maskRow * (ht - 1 - y);
            for (int x = 0; x < w; ++x) {
                QRgb colour = 0;
                if (img.bits == 24) {
                    const qsizetype p = row + 3 * x;
                    colour = qRgb(c.u8(p + 2), c.u8(p + 1), c.u8(p));
                } else if (img.bits == 8) {
                    colour = img.palette[std::size_t(c.u8(row + x))];
                } else if (img.bits == 4) {
                    const int b = c.u8(row + x / 2);
                    colour = img.palette[std::size_t(x % 2 == 0 ? b >> 4 : b & 15)];
                }
                img.colours.push_back(colour);
                img.masked.push_back(c.u8(mrow + x / 8) & (0x80 >> (x % 8)));
            }
        }
        f.images.push_back(img);
    }
    return f;
}

JpegFacts readJpeg(const QByteArray& bytes) {
    JpegFacts f;
    Cursor c{bytes};
    f.startsWithSoi = c.u8(0) == 0xFF && c.u8(1) == 0xD8;
    f.endsWithEoi =
        bytes.size() >= 2 && c.u8(bytes.size() - 2) == 0xFF && c.u8(bytes.size() - 1) == 0xD9;
    qsizetype pos = 2;
    while (pos + 4 <= bytes.size() && c.u8(pos) == 0xFF) {
        const int marker = c.u8(pos + 1);
        const int length = c.be16(pos + 2);
        const bool frame =
            marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC;
        if (frame) {
            f.frameMarkers.push_back(marker);
            f.precision = c.u8(pos + 4);
            f.height = c.be16(pos + 5);
            f.width = c.be16(pos + 7);
            f.components = c.u8(pos + 9);
        }
        if (marker == 0xDA) {
            break;  // entropy-coded data follows
        }
        pos += 2 + length;
    }
    return f;
}

QImage iconImageWithMask(const QByteArray& bytes, int index) {
    QBuffer buffer;
    buffer.setData(bytes);
    QImageReader reader(&buffer, "ico");
    if (!reader.jumpToImage(index)) {
        return {};
    }
    QImage image = reader.read().convertToFormat(QImage::Format_ARGB32);
    const IcoFacts facts = readIco(bytes);
    const IconFacts& icon = facts.images[std::size_t(index)];
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if (icon.maskedAt(x, y)) {
                image.setPixel(x, y, 0);
            }
        }
    }
    return image;
}

}  // namespace kalvex::testing
