// SPDX-FileCopyrightText: 2026 Kalvex developers
//
// SPDX-License-Identifier: MIT

#pragma once

typedef struct _fluid_hashtable_t fluid_settings_t;

namespace kalvex {

// FluidSynth's settings for rendering a song into memory, made without the
// library's side effects: no log lines on stderr, and no look through the
// machine's sound cards (FluidSynth lists them for its ALSA driver whenever
// settings are made, opening /dev/snd/controlC*, which the game must not do
// while it plays through a sound server). Free with delete_fluid_settings().
fluid_settings_t* newRenderSettings(int sampleRate);

}  // namespace kalvex
