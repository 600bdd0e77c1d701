// SPDX-FileCopyrightText: 2026 Kalvex developers
//
// SPDX-License-Identifier: MIT

#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>

#include "renderer/midifile.h"

typedef struct _fluid_hashtable_t fluid_settings_t;
typedef struct _fluid_synth_t fluid_synth_t;

namespace kalvex {

// FluidSynth with one sound bank, rendering songs into memory.
class Synthesiser {
public:
    // Takes 16-bit stereo frames at 44.1 kHz, `count` at a time.
    using Out = std::function<void(const std::int16_t* frames, std::size_t count)>;

    Synthesiser();
    ~Synthesiser();
    Synthesiser(const Synthesiser&) = delete;
    Synthesiser& operator=(const Synthesiser&) = delete;

    // Loads the bank whole; false, with why in `failure`, when it cannot.
    bool load(const std::string& soundFont, std::string& failure);
    // Renders the first `frames` frames of `song`, every channel starting at
    // the General MIDI defaults.
    void render(const MidiSong& song, std::size_t frames, const Out& out);

private:
    fluid_settings_t* settings_;
    fluid_synth_t* synth_;
};

// The frames a whole pass of `song` takes.
std::size_t songFrames(const MidiSong& song);

}  // namespace kalvex
