// SPDX-FileCopyrightText: 2026 Kalvex developers
//
// SPDX-License-Identifier: MIT

#pragma once

#include <QImage>
#include <QRgb>
#include <cstdint>
#include <vector>

namespace picgen {

// A palettised picture: every pixel an index into the palette. The one
// palette entry for fully transparent pixels, if any, is `transparent`.
struct Indexed {
    int width = 0;
    int height = 0;
    std::vector<QRgb> palette;
    std::vector<std::uint8_t> pixels;  // row by row, top first
    int transparent = -1;

    std::uint8_t at(int x, int y) const { return pixels[static_cast<std::size_t>(y * width + x)]; }
};

// Reduces a picture with hard edges (alpha 0 or 255 only) to at most
// maxColours palette entries, one of which stands for transparency.
Indexed quantise(const QImage& art, int maxColours);

}  // namespace picgen
