// SPDX-FileCopyrightText: 2026 Kalvex developers
//
// SPDX-License-Identifier: MIT

#pragma once

#include <QString>
#include <cstdint>
#include <memory>
#include <vector>

#include "music/midifile.h"

namespace kalvex {

// The song file as read, and the song in it.
struct SongFile {
    std::vector<std::uint8_t> bytes;
    std::shared_ptr<const MidiSong> song;  // null when it cannot be played,
    QString failure;                       // and why
};

// Reads and parses the file at `path`. Opening never waits for a writer (a
// FIFO) or a modem line, and what is not a song-sized regular file is refused
// before anything is read; reading may still hang on a stalled mount, so it is
// called off the GUI thread.
SongFile loadSongFile(const QString& path);

}  // namespace kalvex
