// SPDX-FileCopyrightText: 2026 Kalvex developers
//
// SPDX-License-Identifier: MIT

#pragma once

#include <string>

#include "music/songoutput.h"

namespace kalvex {

// Debian's General MIDI sound bank, whichever package provides it.
inline constexpr const char* kDefaultSoundFont = "/usr/share/sounds/sf2/default-GM.sf2";

// Renders songs with FluidSynth, from a bank cut down to each song's
// instruments, every channel starting at the General MIDI defaults. The
// synthesiser lives only while it renders.
SongRenderer fluidRenderer(std::string soundFont = kDefaultSoundFont);

}  // namespace kalvex
