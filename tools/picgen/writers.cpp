// SPDX-FileCopyrightText: 2026 Kalvex developers
//
// SPDX-License-Identifier: MIT

#include "writers.h"

#include <gif_lib.h>
// jpeglib.h needs FILE and size_t declared first.
#include <jpeglib.h>
#include <cstdio>

#include <cstdlib>
#include <stdexcept>
#include <string>

namespace picgen {

namespace {

int writeToByteArray(GifFileType* gif, const GifByteType* bytes, int length) {
    static_cast<QByteArray*>(gif->UserData)->append(reinterpret_cast<const char*>(bytes), length);
    return length;
}

void gifCheck(int result, const char* what) {
    if (result != GIF_OK) {
        throw std::runtime_error(std::string("giflib: ") + what);
    }
}

void put16(QByteArray& out, int value) {
    out.append(static_cast<char>(value & 0xff));
    out.append(static_cast<char>((value >> 8) & 0xff));
}

void put32(QByteArray& out, std::uint32_t value) {
    put16(out, static_cast<int>(value & 0xffff));
    put16(out, static_cast<int>(value >> 16));
}

int rowBytes(int width, int bits) {
    return (width * bits + 31) / 32 * 4;  // rows are padded to 32 bits
}

// The bitmap of one icon image: header, palette, colour rows, mask rows.
QByteArray iconBitmap(const IconImage& image) {
    const QImage& art = image.art;
    const int w = art.width(), h = art.height(), bits = image.bits;
    const int colourRow = rowBytes(w, bits), maskRow = rowBytes(w, 1);
    QByteArray out;
    put32(out, 40);  // BITMAPINFOHEADER
    put32(out, static_cast<std::uint32_t>(w));
    put32(out, static_cast<std::uint32_t>(2 * h));  // colour and mask together
    put16(out, 1);
    put16(out, bits);
    put32(out, 0);  // uncompressed
    put32(out, static_cast<std::uint32_t>((colourRow + maskRow) * h));
    put32(out, 0);
    put32(out, 0);
    put32(out, 0);  // all 2^bits palette entries present
    put32(out, 0);

    // Colour of each pixel, as a palette index or as blue, green, red.
    Indexed indexed;
    if (bits <= 8) {
        indexed = quantise(art, 1 << bits);
        const int entries = 1 << bits;
        for (int i = 0; i < entries; ++i) {
            const QRgb c =
                i < static_cast<int>(indexed.palette.size()) ? indexed.palette[i] : qRgb(0, 0, 0);
            out.append(static_cast<char>(qBlue(c)));
            out.append(static_cast<char>(qGreen(c)));
            out.append(static_cast<char>(qRed(c)));
            out.append('\0');
        }
    }
    auto transparent = [&](int x, int y) { return qAlpha(art.pixel(x, y)) == 0; };
    // Rows run bottom-up.
    for (int y = h - 1; y >= 0; --y) {
        QByteArray row(colourRow, '\0');
        for (int x = 0; x < w; ++x) {
            if (bits == 24) {
                const QRgb c = transparent(x, y) ? 0 : art.pixel(x, y);
                row[3 * x] = static_cast<char>(qBlue(c));
                row[3 * x + 1] = static_cast<char>(qGreen(c));
                row[3 * x + 2] = static_cast<char>(qRed(c));
            } else if (bits == 8) {
                row[x] = static_cast<char>(indexed.at(x, y));
            } else {
                const int shift = x % 2 == 0 ? 4 : 0;
                row[x / 2] = static_cast<char>(row[x / 2] | (indexed.at(x, y) << shift));
            }
        }
        out.append(row);
    }
    for (int y = h - 1; y >= 0; --y) {
        QByteArray row(maskRow, '\0');
        for (int x = 0; x < w; ++x) {
            if (transparent(x, y)) {
                row[x / 8] = static_cast<char>(row[x / 8] | (0x80 >> (x % 8)));
            }
        }
        out.append(row);
    }
    return out;
}

}  // namespace

QByteArray writeGif(const Indexed& picture, int tableSize) {
    if (picture.transparent < 0 || static_cast<int>(picture.palette.size()) > tableSize) {
        throw std::runtime_error("gif: needs a transparent entry and a table that fits");
    }
    QByteArray out;
    int error = 0;
    GifFileType* gif = EGifOpen(&out, writeToByteArray, &error);
    if (!gif) {
        throw std::runtime_error("giflib: open");
    }
    EGifSetGifVersion(gif, true);
    ColorMapObject* map = GifMakeMapObject(tableSize, nullptr);
    for (int i = 0; i < tableSize; ++i) {
        const QRgb c = i < static_cast<int>(picture.palette.size()) ? picture.palette[i] : 0;
        map->Colors[i] = {static_cast<GifByteType>(qRed(c)), static_cast<GifByteType>(qGreen(c)),
                          static_cast<GifByteType>(qBlue(c))};
    }
    gifCheck(EGifPutScreenDesc(gif, picture.width, picture.height, 8, picture.transparent, map),
             "screen");
    GifFreeMapObject(map);

    GraphicsControlBlock control{};
    control.DisposalMode = DISPOSAL_UNSPECIFIED;
    control.DelayTime = 0;
    control.TransparentColor = picture.transparent;
    GifByteType extension[4];
    EGifGCBToExtension(&control, extension);
    gifCheck(EGifPutExtension(gif, GRAPHICS_EXT_FUNC_CODE, 4, extension), "control");

    gifCheck(EGifPutImageDesc(gif, 0, 0, picture.width, picture.height, false, nullptr), "image");
    std::vector<GifPixelType> row(static_cast<std::size_t>(picture.width));
    for (int y = 0; y < picture.height; ++y) {
        for (int x = 0; x < picture.width; ++x) {
            row[static_cast<std::size_t>(x)] = picture.at(x, y);
        }
        gifCheck(EGifPutLine(gif, row.data(), picture.width), "line");
    }
    gifCheck(EGifCloseFile(gif, &error), "close");
    return out;
}

QByteArray writeIco(const std::vector<IconImage>& images) {
    QByteArray out;
    put16(out, 0);
    put16(out, 1);  // icon
    put16(out, static_cast<int>(images.size()));
    std::vector<QByteArray> bitmaps;
    for (const IconImage& image : images) {
        bitmaps.push_back(iconBitmap(image));
    }
    std::uint32_t offset = 6 + 16 * static_cast<std::uint32_t>(images.size());
    for (std::size_t i = 0; i < images.size(); ++i) {
        const IconImage& image = images[i];
        out.append(static_cast<char>(image.art.width()));
        out.append(static_cast<char>(image.art.height()));
        out.append(static_cast<char>(image.bits == 4 ? 16 : 0));  // 0: 256 colours or more
        out.append('\0');
        put16(out, 1);
        put16(out, image.bits);
        put32(out, static_cast<std::uint32_t>(bitmaps[i].size()));
        put32(out, offset);
        offset += static_cast<std::uint32_t>(bitmaps[i].size());
    }
    for (const QByteArray& bitmap : bitmaps) {
        out.append(bitmap);
    }
    return out;
}

QByteArray writeJpeg(const QImage& picture, int quality) {
    const QImage rgb = picture.convertToFormat(QImage::Format_RGB888);
    jpeg_compress_struct info{};
    jpeg_error_mgr errors{};
    info.err = jpeg_std_error(&errors);
    jpeg_create_compress(&info);
    unsigned char* buffer = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&info, &buffer, &size);
    info.image_width = static_cast<JDIMENSION>(rgb.width());
    info.image_height = static_cast<JDIMENSION>(rgb.height());
    info.input_components = 3;
    info.in_color_space = JCS_RGB;
    jpeg_set_defaults(&info);
    jpeg_set_quality(&info, quality, TRUE);
    // Full colour resolution keeps the black letters free of colour fringes.
    for (int c = 0; c < 3; ++c) {
        info.comp_info[c].h_samp_factor = 1;
        info.comp_info[c].v_samp_factor = 1;
    }
    jpeg_start_compress(&info, TRUE);
    while (info.next_scanline < info.image_height) {
        JSAMPROW row =
            const_cast<JSAMPROW>(rgb.constScanLine(static_cast<int>(info.next_scanline)));
        jpeg_write_scanlines(&info, &row, 1);
    }
    jpeg_finish_compress(&info);
    jpeg_destroy_compress(&info);
    QByteArray out(reinterpret_cast<const char*>(buffer), static_cast<qsizetype>(size));
    std::free(buffer);
    return out;
}

}  // namespace picgen
