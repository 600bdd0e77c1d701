// SPDX-FileCopyrightText: 2026 Kalvex developers
//
// SPDX-License-Identifier: MIT

#pragma once

#include <QString>
#include <cstdint>
#include <filesystem>
#include <string_view>
#include <vector>

#include "music/song_file.h"
#include "music/song_renderer.h"

namespace kalvex::testing {

// The repository, found from this file's own path.
std::filesystem::path sourceDir();

std::vector<std::uint8_t> readBytes(const std::filesystem::path& path);
void writeBytes(const std::filesystem::path& path, const std::vector<std::uint8_t>& bytes);

// A MIDI file written by the project's generator from a note list.
std::vector<std::uint8_t> midiFromScore(std::string_view score);

// The bank the tests that judge sound render with: KALVEX_TEST_SOUNDFONT, or
// Debian's General MIDI default. Said on stdout, so that each run names it.
std::string testSoundFont();
// The built renderer program with that bank.
SongRenderer testRenderer();
// The song file at `path`, as the player reads it.
SongFile songFile(const std::filesystem::path& path);
// A song of these bytes, as if read from a file named `path`.
SongFile songFile(const QString& path, const std::vector<std::uint8_t>& bytes);

inline QString qpath(const std::filesystem::path& p) {
    return QString::fromStdString(p.string());
}

}  // namespace kalvex::testing
