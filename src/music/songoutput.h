// SPDX-FileCopyrightText: 2026 Kalvex developers
//
// SPDX-License-Identifier: MIT

#pragma once

#include <QString>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "music/renderedsong.h"

namespace kalvex {

// The parts the music player is built from: the song file, a renderer that
// turns it into samples once, and an output that plays them as often as asked.

// The song file as read. The game never parses it: the renderer does.
struct SongFile {
    QString path;
    std::vector<std::uint8_t> bytes;
    QString failure;  // why it cannot be read, when it cannot
};

// Reads the file at `path`, refusing what is not a song-sized regular file
// before anything is read. It may still hang on a stalled mount: it is called
// off the GUI thread.
SongFile loadSongFile(const QString& path);

// Renders `song` whole on the calling thread, which is never the GUI thread.
// Null when `cancelled` said to give up, or when it cannot render, then with
// why in `failure`; with a song, `failure` may hold a remark for the player.
using SongRenderer = std::function<std::shared_ptr<const RenderedSong>(
    const SongFile& song, const std::function<bool()>& cancelled, std::string& failure)>;

// Debian's General MIDI sound bank, whichever package provides it.
inline constexpr const char* kDefaultSoundFont = "/usr/share/sounds/sf2/default-GM.sf2";
// The renderer program, beside the game.
inline constexpr const char* kRendererName = "kalvex-renderer";

// Renders each song in a process of the renderer program at `program`, with the
// bank at `soundFont`: whatever it does (crash, hang, garbage, running out of
// memory) costs that song, saying why. It is killed on a cancel, and dies with the game.
SongRenderer rendererProgram(std::string program, std::string soundFont = kDefaultSoundFont);

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
