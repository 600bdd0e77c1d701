// SPDX-FileCopyrightText: 2026 Kalvex developers
//
// SPDX-License-Identifier: MIT

#pragma once

#include <QString>
#include <cstdint>
#include <vector>

namespace kalvex {

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

}  // namespace kalvex
