// SPDX-FileCopyrightText: 2026 Kalvex developers
//
// SPDX-License-Identifier: MIT

#pragma once

#include <functional>
#include <memory>
#include <string>

#include "music/midifile.h"

namespace kalvex {

// Where the music player sends a song: FluidSynth in the game, a recording
// fake in tests.
class SongOutput {
public:
    // Called once a played song's last event has sounded, with the tag given
    // to play(); may come from any thread (the audio thread, for FluidSynth).
    using Ended = std::function<void(unsigned tag)>;

    virtual ~SongOutput() = default;

    // Starts the song from its beginning, dropping whatever was playing.
    virtual void play(std::shared_ptr<const MidiSong> song, unsigned tag) = 0;
    // Stops at once: nothing more is played and ended() is not called.
    virtual void stop() = 0;
};

// Opens an output; slow (it loads a sound bank and opens a device), so the
// player calls it off the GUI thread. Returns null and says why on failure.
using SongOutputFactory =
    std::function<std::unique_ptr<SongOutput>(SongOutput::Ended ended, std::string& failure)>;

}  // namespace kalvex
