// SPDX-FileCopyrightText: 2026 Kalvex developers
//
// SPDX-License-Identifier: MIT

#pragma once

// The catch judgement works on copies of the elements' positions: the
// single-precision value written out with at most 7 significant digits and
// read back as a double; a Left is then rounded, halves to even, into 16 bits.

#include <cstdint>
#include <optional>

namespace kalvex {

double copyPosition(float position);

// Rounds half to even into 16 bits; no value when the result does not fit.
std::optional<std::int16_t> toInt16(double value);

}  // namespace kalvex
