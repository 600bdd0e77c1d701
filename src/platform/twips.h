// SPDX-FileCopyrightText: 2026 Kalvex developers
//
// SPDX-License-Identifier: MIT

#pragma once

#include <cmath>

namespace kalvex {

// Every position and size is kept in twips; 15 twips make one logical pixel.
inline constexpr float kTwipsPerPixel = 15.0f;

inline int twipsToPixels(double twips) {
    return static_cast<int>(std::lround(twips / kTwipsPerPixel));
}

inline constexpr float pixelsToTwips(int pixels) {
    return static_cast<float>(pixels) * kTwipsPerPixel;
}

}  // namespace kalvex
