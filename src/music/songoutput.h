// SPDX-FileCopyrightText: 2026 Kalvex developers
//
// SPDX-License-Identifier: MIT

#pragma once

#include <functional>
#include <memory>
#include <string>

#include "music/renderedsong.h"
#include "music/songfile.h"

namespace kalvex {

// The two parts the music player is built from: a renderer that turns a song
// file into samples once, and an output that plays them as often as asked.

// Renders `song` whole on the calling thread, which is never the GUI thread.
// Null when `cancelled` said to give up, or when it cannot render, then with
// why in `failure`; with a song, `failure` may hold a remark for the player.
using SongRenderer = std::function<std::shared_ptr<const RenderedSong>(
    const SongFile& song, const std::function<bool()>& cancelled, std::string& failure)>;

// Plays rendered songs; made, driven and destroyed on the GUI thread, none of
// which ever waits for the audio.
class SongOutput {
public:
    // From the output's own thread: a played song's last sample has been
    // handed to the audio output, with the tag given to play().
    using Ended = std::function<void(unsigned tag)>;
    // From the output's own thread, at most once: why nothing can be heard
    // for now; the output keeps trying on its own.
    using Trouble = std::function<void(const std::string& why)>;

    // When it returns no thread of the output's calls Ended or Trouble.
    virtual ~SongOutput() = default;

    // Starts `song` from its beginning, dropping whatever was playing.
    virtual void play(std::shared_ptr<const RenderedSong> song, unsigned tag) = 0;
    // Stops at once: nothing more is heard and Ended is not called.
    virtual void stop() = 0;
};

using SongOutputFactory = std::function<std::unique_ptr<SongOutput>(SongOutput::Ended ended,
                                                                    SongOutput::Trouble trouble)>;

}  // namespace kalvex
