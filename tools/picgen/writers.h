// SPDX-FileCopyrightText: 2026 Kalvex developers
//
// SPDX-License-Identifier: MIT

#pragma once

#include <QByteArray>
#include <QImage>
#include <vector>

#include "quantise.h"

namespace picgen {

// GIF89a: one image, a global colour table of exactly tableSize entries and a
// graphic control extension that marks the transparent index.
QByteArray writeGif(const Indexed& picture, int tableSize);

// One image of an icon file: its art (hard edges) and colour depth, 4, 8 or 24.
struct IconImage {
    QImage art;
    int bits;
};

// A Windows icon file: each image a colour bitmap plus a 1-bit AND mask, the
// mask set (and the colour black) where the art is transparent.
QByteArray writeIco(const std::vector<IconImage>& images);

// Baseline JPEG, three components, no chroma subsampling.
QByteArray writeJpeg(const QImage& picture, int quality);

}  // namespace picgen
