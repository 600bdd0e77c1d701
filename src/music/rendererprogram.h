// SPDX-FileCopyrightText: 2026 Kalvex developers
//
// SPDX-License-Identifier: MIT

#pragma once

#include <string>

#include "music/songoutput.h"

namespace kalvex {

// Debian's General MIDI sound bank, whichever package provides it.
inline constexpr const char* kDefaultSoundFont = "/usr/share/sounds/sf2/default-GM.sf2";
// The renderer program, beside the game.
inline constexpr const char* kRendererName = "kalvex-renderer";

// Renders each song in a process of the renderer program at `program`, with
// the bank at `soundFont`. Whatever that process does (crash, hang, garbage,
// running out of memory), the song is then merely not rendered, and why is
// said; it is killed when the render is cancelled, and dies with the game.
SongRenderer rendererProgram(std::string program, std::string soundFont = kDefaultSoundFont);

}  // namespace kalvex
