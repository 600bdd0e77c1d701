// SPDX-FileCopyrightText: 2026 Kalvex developers
//
// SPDX-License-Identifier: MIT

#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <span>
#include <string>

typedef struct _fluid_hashtable_t fluid_settings_t;
typedef struct _fluid_synth_t fluid_synth_t;
typedef struct _fluid_player_t fluid_player_t;

namespace kalvex {

// FluidSynth and its MIDI file player with one sound bank, rendering songs
// into memory as fast as it can.
class Synthesiser {
public:
    // Takes 16-bit stereo frames at 44.1 kHz, up to renderer::kPieceFrames at a time.
    using Out = std::function<void(const std::int16_t* frames, std::size_t count)>;

    Synthesiser();
    ~Synthesiser();
    Synthesiser(const Synthesiser&) = delete;
    Synthesiser& operator=(const Synthesiser&) = delete;

    // Loads the bank whole; false, with why in `failure`, when it cannot.
    bool load(const std::string& soundFont, std::string& failure);
    // Reads and starts the standard MIDI file `song`; false, with FluidSynth's
    // reason if it gives one, when it is not a song.
    bool open(std::span<const std::uint8_t> song, std::string& failure);
    // How a render ends: the song played whole, cut at `mostFrames`, or a
    // piece FluidSynth could not write, after which nothing more is handed out.
    enum class Ending { whole, cut, failed };
    // Renders the song to its end or to `mostFrames`.
    Ending render(std::size_t mostFrames, const Out& out);

private:
    fluid_settings_t* settings_;
    fluid_synth_t* synth_;
    fluid_player_t* player_ = nullptr;
};

}  // namespace kalvex
