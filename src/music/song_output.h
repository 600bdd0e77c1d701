// SPDX-FileCopyrightText: 2026 Kalvex developers
//
// SPDX-License-Identifier: MIT

#pragma once

#include <functional>
#include <memory>
#include <string>

#include "music/rendered_song.h"

namespace kalvex {

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
