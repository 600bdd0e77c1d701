// SPDX-FileCopyrightText: 2026 Kalvex developers
//
// SPDX-License-Identifier: MIT

#pragma once

#include <cstddef>

// What the renderer program and the game say to each other. The game hands
// the song file's bytes to the renderer's standard input; the renderer
// answers on its standard output with one line, then, after a "frames" line,
// the samples:
//
//   frames N of M\n   N frames follow (the first N of the song's M)
//   song WHY\n        the song cannot be played; WHY reads after its name
//   error WHY\n       nothing can be played
//
// A frame is a left and a right 16-bit little-endian sample at 44.1 kHz.
namespace kalvex::renderer {

constexpr int kRate = 44100;
constexpr int kChannels = 2;
constexpr std::size_t kFrameBytes = kChannels * 2;
// A longer song is cut here and its first part looped: the game keeps every
// pass's samples, packed, and this bounds what that costs.
constexpr int kLongestSeconds = 60;
constexpr std::size_t kMostFrames = std::size_t(kLongestSeconds) * kRate;
// A song is a few KiB; anything near this is not one.
constexpr std::size_t kLargestSongBytes = 4 << 20;
constexpr std::size_t kLongestLine = 512;

}  // namespace kalvex::renderer
