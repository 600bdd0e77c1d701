// SPDX-FileCopyrightText: 2026 Kalvex developers
//
// SPDX-License-Identifier: MIT

#pragma once

#include <string>
#include <utility>
#include <vector>

#include "music/songoutput.h"

namespace kalvex {

struct FluidOutputSettings {
    // Debian's General MIDI sound bank, whichever package provides it.
    std::string soundFont = "/usr/share/sounds/sf2/default-GM.sf2";
    // Tried in order until one opens. PulseAudio also reaches PipeWire. JACK
    // is left out (it may start a server), and so is SDL2 (it needs the
    // program to set SDL up first).
    std::vector<std::string> drivers = {"pulseaudio", "alsa", "oss"};
    // Further FluidSynth string settings, e.g. "audio.file.name" for the
    // "file" driver.
    std::vector<std::pair<std::string, std::string>> extra;
};

// Plays songs through FluidSynth: a General MIDI synthesiser on the first
// audio driver that opens, driven by FluidSynth's sequencer on the audio
// clock so that a song's end is known to the millisecond.
SongOutputFactory fluidOutput(FluidOutputSettings settings = {});

}  // namespace kalvex
