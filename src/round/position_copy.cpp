// SPDX-FileCopyrightText: 2026 Kalvex developers
//
// SPDX-License-Identifier: MIT

#include "round/position_copy.h"

#include <charconv>
#include <cmath>
#include <limits>

namespace kalvex {

double copyPosition(float position) {
    // to_chars/from_chars ignore the locale, so a decimal comma never sneaks in.
    char text[32];
    const auto written =
        std::to_chars(text, text + sizeof text, position, std::chars_format::general, 7);
    double value = 0;
    std::from_chars(text, written.ptr, value);
    return value;
}

std::optional<std::int16_t> toInt16(double value) {
    const double rounded = std::nearbyint(value);  // the default mode rounds halves to even
    if (!(rounded >= std::numeric_limits<std::int16_t>::min() &&
          rounded <= std::numeric_limits<std::int16_t>::max())) {
        return std::nullopt;
    }
    return static_cast<std::int16_t>(rounded);
}

}  // namespace kalvex
