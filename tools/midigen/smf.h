// SPDX-FileCopyrightText: 2026 Kalvex developers
//
// SPDX-License-Identifier: MIT

#pragma once

#include <cstdint>
#include <vector>

#include "score.h"

namespace midigen {

// A format 1 standard MIDI file: a conductor track with the title, metre and
// tempo, then one track per part. Equal scores give equal bytes.
std::vector<std::uint8_t> writeSmf(const Score& score);

}  // namespace midigen
