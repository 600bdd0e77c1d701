// SPDX-FileCopyrightText: 2026 Kalvex developers
//
// SPDX-License-Identifier: MIT

#pragma once

#include <string>
#include <utility>
#include <vector>

#include "music/pulsestream.h"
#include "music/songoutput.h"

namespace kalvex {

struct FluidOutputSettings {
    // Debian's General MIDI sound bank, whichever package provides it.
    std::string soundFont = "/usr/share/sounds/sf2/default-GM.sf2";
    // Tried in order until one opens, again and again while none does.
    // "pulseaudio" is our own stream, which also reaches PipeWire, carries
    // the game's names and notices the server going away; the others are
    // FluidSynth's drivers. JACK is left out (it may start a server), and so
    // is SDL2 (it needs the program to set SDL up first).
    std::vector<std::string> drivers = {"pulseaudio", "alsa", "oss"};
    StreamNames names;
    // Further FluidSynth string settings, e.g. "audio.file.name" for the
    // "file" driver.
    std::vector<std::pair<std::string, std::string>> extra;
};

// Plays songs through FluidSynth: a General MIDI synthesiser that keeps only
// the instruments of the songs it was prepared for, driven by FluidSynth's
// sequencer on the synthesiser's sample clock so that a song's end is known to
// the millisecond. An output thread of its own finds an audio output, and
// finds one again when the sound server goes away and comes back.
SongOutputFactory fluidOutput(FluidOutputSettings settings = {});

}  // namespace kalvex
