// SPDX-FileCopyrightText: 2026 Kalvex developers
//
// SPDX-License-Identifier: MIT

#pragma once

#include <QString>

namespace picgen {

// Decodes every picture file of the catalogue found in `folder` (each image
// of an icon file) and lays them out enlarged 4x, on a checkerboard that
// shows their transparency, in one PNG. Returns false if a file is missing.
bool writeContactSheet(const QString& folder, const QString& sheetPath);

}  // namespace picgen
