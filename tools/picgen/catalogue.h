// SPDX-FileCopyrightText: 2026 Kalvex developers
//
// SPDX-License-Identifier: MIT

#pragma once

#include <QImage>
#include <QString>
#include <functional>
#include <vector>

namespace picgen {

enum class Format { Jpeg, Gif, Ico };

// One image of an icon file: its square size and colour depth in bits.
struct IconLayer {
    int size;
    int bits;
};

// A picture file of the game: its name, format and the art drawn into it.
struct PictureFile {
    QString name;
    Format format;
    int width = 0, height = 0;      // JPEG and GIF
    int tableSize = 0;              // GIF: entries of the global colour table
    std::vector<IconLayer> layers;  // ICO, in file order
    // The art at a given square size (icons) or at its own size (others).
    std::function<QImage(int size)> art;
};

// Every picture file, in the order of the contact sheet.
const std::vector<PictureFile>& catalogue();

// The file's bytes, exactly as committed.
QByteArray encode(const PictureFile& file);

}  // namespace picgen
