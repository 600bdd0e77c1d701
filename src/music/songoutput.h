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
    // Says why nothing can be heard for now, at most once; the output keeps
    // trying on its own. May come from any thread.
    using Trouble = std::function<void(const std::string& why)>;

    virtual ~SongOutput() = default;

    // Off the GUI thread, before the song is played: gets ready what it needs
    // (its instruments). Sound may start only after the first prepare.
    virtual void prepare(const MidiSong& song) = 0;
    // Starts the song from its beginning, dropping whatever was playing.
    virtual void play(std::shared_ptr<const MidiSong> song, unsigned tag) = 0;
    // Stops at once: nothing more is played and ended() is not called.
    virtual void stop() = 0;
};

// Creates an output; slow (it reads a sound bank), so the player calls it off
// the GUI thread. Returns null and says why when it can never play.
using SongOutputFactory = std::function<std::unique_ptr<SongOutput>(
    SongOutput::Ended ended, SongOutput::Trouble trouble, std::string& failure)>;

}  // namespace kalvex
