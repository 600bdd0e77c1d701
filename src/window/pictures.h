// SPDX-FileCopyrightText: 2026 Kalvex developers
//
// SPDX-License-Identifier: MIT

#pragma once

#include <QImage>
#include <QPixmap>
#include <QString>

namespace kalvex {

// The picture with the given key from the layout table ("claw-open",
// "prize-05", ...): one image pixel per logical pixel, prepared for the
// screen's device pixel ratio. A null pixmap for an unknown key.
QPixmap loadPicture(const QString& key);

// The same for a given device pixel ratio: enlarged by the nearest whole
// factor with nearest-neighbour sampling, so pixels stay crisp.
QPixmap loadPicture(const QString& key, qreal devicePixelRatio);

// The embedded file behind a key, ":/pictures/claw-open.gif"; empty if unknown.
QString picturePath(const QString& key);

// The decoded picture at 1:1 with its transparency as alpha 0. For an icon
// file, its largest image in the best colour depth.
QImage decodePicture(const QString& key);

}  // namespace kalvex
